#include "tokenui/TokenTextFieldEditor.h"

#include "core/DelayedUpdateWorker.h"
#include "tokenui/TokenString+AttributedText.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextAttachment.h"
#include "tokenui/TokenTextAttachmentCell.h"
#include "tokenui/TransformDialogTextField.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

TokenTextFieldEditor::TokenTextFieldEditor(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab is handled in keyPressEvent: the focus moves after the key, not inside it.
    setTabChangesFocus(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    document()->setDocumentMargin(2);
    viewport()->setMouseTracking(true);
    TokenTextAttachmentCell::install(this);

    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!m_loading && (removed || added))
            DelayedUpdateWorker::scheduleDelayedUpdate(false);
    });
    // Chips change their look with the selection.
    connect(this, &QTextEdit::selectionChanged, viewport(), qOverload<>(&QWidget::update));
}

void TokenTextFieldEditor::setTokenString(const TokenString& tokenString)
{
    m_loading = true;
    clear();
    QTextCursor cursor(document());
    TokenStringText::append(cursor, tokenString);
    m_loading = false;
}

TokenString TokenTextFieldEditor::tokenString() const
{
    return TokenStringText::tokenString(*document());
}

TokenString TokenTextFieldEditor::selectedRangeAsTokenString() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return tokenString();
    return TokenStringText::tokenString(*document(), cursor.selectionStart(), cursor.selectionEnd());
}

QRectF TokenTextFieldEditor::chipFrame(int position) const
{
    QTextCursor cursor(document());
    cursor.setPosition(position);
    const QRect before = cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect after = cursorRect(cursor);
    return QRectF(QPointF(before.left(), before.top()), QPointF(after.left(), std::max(before.bottom(), after.bottom())));
}

std::optional<int> TokenTextFieldEditor::chipAt(const QPoint& viewportPosition) const
{
    const QPointF documentPoint = viewportPosition + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int hit = document()->documentLayout()->hitTest(documentPoint, Qt::FuzzyHit);
    for (int position : { hit - 1, hit }) {
        if (position < 0 || position >= document()->characterCount() - 1)
            continue;
        QTextCursor cursor(document());
        cursor.setPosition(position + 1);
        if (!TokenTextAttachment::isAttachment(cursor.charFormat()))
            continue;
        const QRectF frame = chipFrame(position);
        if (viewportPosition.x() >= frame.left() && viewportPosition.x() < frame.right())
            return position;
    }
    return std::nullopt;
}

void TokenTextFieldEditor::beginTokenEdit(const TokenTextAttachmentInfo& info)
{
    m_editedToken = info;
    emit tokenEditRequested(info, tokenAttributeViewKind(info.tokenItem));
}

bool TokenTextFieldEditor::replaceTokenItem(int location, const TokenItem& original, const TokenItem& updated)
{
    if (location < 0 || location + 1 >= document()->characterCount())
        return false;
    QTextCursor cursor(document());
    cursor.setPosition(location);
    cursor.setPosition(location + 1, QTextCursor::KeepAnchor);
    if (cursor.selectedText() != QString(QChar::ObjectReplacementCharacter))
        return false;
    QTextCursor after(document());
    after.setPosition(location + 1);
    if (TokenTextAttachment::tokenItem(after.charFormat()) != original)
        return false;
    cursor.setCharFormat(TokenTextAttachment::format(updated));
    if (m_editedToken && m_editedToken->location == location)
        m_editedToken->tokenItem = updated;
    return true;
}

void TokenTextFieldEditor::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
        moveFocus(true);
        return;
    case Qt::Key_Backtab:
        moveFocus(false);
        return;
    case Qt::Key_F2: {
        // The keyboard's double click: the chip selected or just before the insertion point.
        const QTextCursor cursor = textCursor();
        const int chip = cursor.hasSelection() ? cursor.selectionStart() : cursor.position() - 1;
        if ((!cursor.hasSelection() || cursor.selectionEnd() - cursor.selectionStart() == 1) && chip >= 0 && editChip(chip))
            return;
        QTextEdit::keyPressEvent(event);
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // One line only: Return belongs to the window (default buttons, sheets).
        event->ignore();
        return;
    default:
        QTextEdit::keyPressEvent(event);
    }
}

void TokenTextFieldEditor::moveFocus(bool forward)
{
    QWidget* start = m_controlView ? static_cast<QWidget*>(m_controlView.data()) : nullptr;
    if (!start)
        return;
    QWidget* candidate = forward ? start->nextInFocusChain() : start->previousInFocusChain();
    while (candidate && candidate != start) {
        const bool insideField = candidate == this || start->isAncestorOf(candidate);
        if (!insideField && candidate->isVisible() && candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus))
            break;
        candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    }
    if (!candidate || candidate == start)
        return;
    // After the key event has been handled, never inside it.
    QPointer<QWidget> target(candidate);
    const Qt::FocusReason reason = forward ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    QTimer::singleShot(0, target, [target, reason] {
        if (target && target->window())
            target->setFocus(reason);
    });
}

void TokenTextFieldEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (auto chip = chipAt(event->position().toPoint())) {
            QTextCursor cursor(document());
            cursor.setPosition(*chip);
            cursor.setPosition(*chip + 1, QTextCursor::KeepAnchor);
            setTextCursor(cursor);
            setFocus(Qt::MouseFocusReason);
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void TokenTextFieldEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (auto chip = chipAt(event->position().toPoint())) {
            editChip(*chip);
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(event);
}

bool TokenTextFieldEditor::editChip(int position)
{
    QTextCursor cursor(document());
    cursor.setPosition(position + 1);
    const std::optional<TokenItem> item = TokenTextAttachment::tokenItem(cursor.charFormat());
    if (!item)
        return false;
    TokenTextAttachmentInfo info;
    info.controlView = this;
    info.tokenItem = *item;
    info.location = position;
    info.length = 1;
    info.frame = chipFrame(position);
    beginTokenEdit(info);
    return true;
}

void TokenTextFieldEditor::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    viewport()->setCursor(chipAt(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TokenTextFieldEditor::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    // Tabbing in puts the insertion point at the end instead of selecting all.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        QTextCursor cursor = textCursor();
        cursor.movePosition(QTextCursor::End);
        setTextCursor(cursor);
    }
}

QMimeData* TokenTextFieldEditor::createMimeDataFromSelection() const
{
    auto* mimeData = new QMimeData;
    TokenStringPasteboard::write(*mimeData, selectedRangeAsTokenString());
    return mimeData;
}

std::optional<TokenString> TokenTextFieldEditor::pastableTokenString(const QMimeData& source) const
{
    const QStringList types = { TokenStringPasteboard::fileTableViewRowUrlType, TokenStringPasteboard::tokenStringType,
        TokenStringPasteboard::stringType };
    auto tokenString = TokenStringPasteboard::getTokenString(source, types, TransformScope::filename);
    if (!tokenString)
        return std::nullopt;
    const QList<TokenType> supported = m_controlView ? m_controlView->supportedTokenTypes() : QList<TokenType> { TokenType::STRING };
    for (const TokenItem& item : tokenString->items())
        if (!supported.contains(item.type))
            return std::nullopt;
    return tokenString;
}

bool TokenTextFieldEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source && pastableTokenString(*source).has_value();
}

void TokenTextFieldEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source)
        return;
    auto tokenString = pastableTokenString(*source);
    if (!tokenString)
        return;
    QTextCursor cursor = textCursor();
    TokenStringText::append(cursor, *tokenString);
    setTextCursor(cursor);
}

QSize TokenTextFieldEditor::sizeHint() const
{
    const int lineHeight = std::max(fontMetrics().height(), 22);
    return QSize(200, lineHeight + 2 * int(document()->documentMargin()) + 2 * frameWidth());
}

QSize TokenTextFieldEditor::minimumSizeHint() const
{
    return QSize(40, sizeHint().height());
}
