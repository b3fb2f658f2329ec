#include "tokenui/TransformDialogTextField.h"

#include "tokenui/TokenAttributeViewController.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "uikit/AppTextStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>
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
}

void TransformDialogTextField::setMonoFont()
{
    m_editor->setFont(AppTextStyle::monoSpacedFont());
    m_editor->setTextColor(palette().color(QPalette::Active, QPalette::Text));
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
