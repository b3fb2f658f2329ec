// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TransformDialogTextField.h"

#include "tokenui/TokenAttributeViewController.h"
#include "tokenui/TokenFieldHost.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "uikit/AppTextStyle.h"

#include <QApplication>
#include <algorithm>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPointer>
#include <QTextCharFormat>
#include <QTimer>

TransformDialogTextField::TransformDialogTextField(QWidget* parent)
    : QWidget(parent)
    , m_editor(new TokenTextFieldEditor(this))
{
    m_editor->setControlView(this);
    connect(m_editor, &TokenTextFieldEditor::tokenEditRequested, this, [](const TokenTextAttachmentInfo& info) {
        TokenAttributeViewController::makeControllerForTokenItem(info)->present();
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    setFocusProxy(m_editor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMonoFont();
    updateRegisteredDragTypes();
}

TokenFieldHost* TransformDialogTextField::transformDialogController() const
{
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget())
        if (auto* host = dynamic_cast<TokenFieldHost*>(ancestor))
            return host;
    return nullptr;
}

void TransformDialogTextField::setSupportedTokenTypes(const QList<TokenType>& types)
{
    m_supportedTokenTypes = types;
    updateRegisteredDragTypes();
}

bool TransformDialogTextField::accepts(const QList<TokenType>& tokenTypes) const
{
    return std::any_of(m_supportedTokenTypes.cbegin(), m_supportedTokenTypes.cend(),
        [&](TokenType type) { return tokenTypes.contains(type); });
}

bool TransformDialogTextField::accepts(const QMimeData& mimeData) const
{
    if (accepts(TokenStringPasteboard::tokenTypes(mimeData)))
        return true;
    const QStringList types = supportedPasteboardTypes();
    return std::any_of(types.cbegin(), types.cend(), [&](const QString& type) { return mimeData.hasFormat(type); });
}

QStringList TransformDialogTextField::supportedTokenPasteboardTypes()
{
    return { TokenStringPasteboard::stringType, TokenStringPasteboard::tokenStringType,
        TokenStringPasteboard::fileTableViewRowUrlType };
}

QStringList TransformDialogTextField::supportedPasteboardTypes()
{
    return { TokenStringPasteboard::stringType, TokenStringPasteboard::fileTableViewRowUrlType };
}

bool TransformDialogTextField::takesChips() const
{
    return m_supportedTokenTypes.contains(TokenType::ATTRIBUTE) || m_supportedTokenTypes.contains(TokenType::REGEX);
}

QString TransformDialogTextField::chipOptionsHint()
{
    return QStringLiteral("Alt+Down or F2 opens the options of the selected token or the one before the cursor");
}

void TransformDialogTextField::updateRegisteredDragTypes()
{
    m_registeredDragTypes = takesChips() ? supportedTokenPasteboardTypes() : supportedPasteboardTypes();
    m_editor->setAccessibleDescription(takesChips() ? chipOptionsHint() : QString());
}

void TransformDialogTextField::setMonoFont()
{
    m_editor->setFont(AppTextStyle::monoSpacedFont());
    // No colour of its own: text without one is drawn in the palette's text
    // colour of the moment, so it follows a switch to a dark palette.
    QTextCharFormat format = m_editor->currentCharFormat();
    format.clearForeground();
    m_editor->setCurrentCharFormat(format);
}

TokenString TransformDialogTextField::tokenString() const
{
    return m_editor->tokenString();
}

void TransformDialogTextField::setTokenString(const TokenString& tokenString)
{
    m_editor->setTokenString(tokenString);
}

QString TransformDialogTextField::stringValue() const
{
    return m_editor->toPlainText();
}

void TransformDialogTextField::setStringValue(const QString& text)
{
    m_editor->setTokenString(TokenString::string(text));
}

bool TransformDialogTextField::isBeingEdited() const
{
    return m_editor->hasFocus();
}

void TransformDialogTextField::selectText()
{
    const int length = m_editor->document()->characterCount() - 1;
    QTextCursor cursor = m_editor->textCursor();
    int anchor = length;
    int position = length;
    if (isBeingEdited() && length > 0) {
        anchor = std::clamp(cursor.anchor(), 0, length);
        position = std::clamp(cursor.position(), 0, length);
    }
    m_editor->setFocus(Qt::OtherFocusReason);
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void TransformDialogTextField::acquireFocus()
{
    QPointer<TransformDialogTextField> field(this);
    QTimer::singleShot(0, qApp, [field] {
        if (field && field->window() && field->window() != field && field->isVisible())
            field->setFocus(Qt::OtherFocusReason);
    });
}
