// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextFieldEditor.h"

#include "core/DelayedUpdateWorker.h"
#include "tokenui/TokenFieldHost.h"
#include "tokenui/TokenString+AttributedText.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextAttachment.h"
#include "tokenui/TokenTextAttachmentCell.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"
#include "tokenui/TokenTextFieldAccessible.h"
#include "tokenui/TransformDialogTextField.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

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
    TokenTextFieldAccessible::install();

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
    case Qt::Key_Down:
        if (!(event->modifiers() & Qt::AltModifier)) {
            QTextEdit::keyPressEvent(event);
            return;
        }
        [[fallthrough]]; // Alt+Down opens the chip's ▼ as it opens a list
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
    m_dragStartPosition.reset();
    m_pressedOnChip = false;
    m_pressedOnChipArrow = false;
    if (event->button() == Qt::LeftButton) {
        const QPoint position = event->position().toPoint();
        if (auto chip = chipAt(position)) {
            QTextCursor cursor(document());
            cursor.setPosition(*chip);
            cursor.setPosition(*chip + 1, QTextCursor::KeepAnchor);
            setTextCursor(cursor);
            setFocus(Qt::MouseFocusReason);
            m_dragStartPosition = position;
            m_pressedOnChip = true;
            m_pressedOnChipArrow = isOnChipArrow(*chip, position);
            return;
        }
        if (!(event->modifiers() & Qt::ShiftModifier) && pressIsInSelection(position)) {
            setFocus(Qt::MouseFocusReason);
            m_dragStartPosition = position;
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

bool TokenTextFieldEditor::isOnChipArrow(int chip, const QPoint& viewportPosition) const
{
    // The ▼ ends the chip's label: its glyph and the chip's right padding.
    const QRectF frame = chipFrame(chip);
    const qreal arrowWidth = QFontMetricsF(TokenTextAttachmentImageFactory::font()).horizontalAdvance(QStringLiteral(" \u25BC"))
        + TokenTextAttachmentImageFactory::paddingRight + TokenTextAttachmentImageFactory::marginRight;
    return viewportPosition.x() >= frame.right() - arrowWidth && viewportPosition.x() < frame.right();
}

bool TokenTextFieldEditor::pressIsInSelection(const QPoint& viewportPosition) const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return false;
    const QPointF documentPoint = viewportPosition + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const int position = layout->hitTest(documentPoint, Qt::FuzzyHit);
    return layout->hitTest(documentPoint, Qt::ExactHit) != -1 && position >= cursor.selectionStart()
        && position <= cursor.selectionEnd();
}

void TokenTextFieldEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragStartPosition && event->button() == Qt::LeftButton) {
        // No drag came of the press: a chip stays selected, a click in
        // selected text puts the insertion point there.
        m_dragStartPosition.reset();
        if (!m_pressedOnChip)
            setTextCursor(cursorForPosition(event->position().toPoint()));
        else if (m_pressedOnChipArrow)
            editChip(textCursor().selectionStart()); // a click on the chip's ▼ opens its options
        return;
    }
    QTextEdit::mouseReleaseEvent(event);
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
    if (m_dragStartPosition && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - *m_dragStartPosition).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragStartPosition.reset();
            startDrag();
        }
        return;
    }
    QTextEdit::mouseMoveEvent(event);
    viewport()->setCursor(chipAt(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TokenTextFieldEditor::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    if (!hasFocus())
        return;
    // The frame's style draws no focus of its own: a ring in the accent colour.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), FOCUS_RING_WIDTH));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = FOCUS_RING_WIDTH / 2.0;
    painter.drawRect(QRectF(viewport()->rect()).adjusted(inset, inset, -inset, -inset));
}

void TokenTextFieldEditor::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    viewport()->update();
}

bool TokenTextFieldEditor::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_controlView && m_controlView->takesChips()) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTip().isEmpty() ? TransformDialogTextField::chipOptionsHint()
                                                : toolTip() + QLatin1Char('\n') + TransformDialogTextField::chipOptionsHint();
        QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QTextEdit::event(event);
}

void TokenTextFieldEditor::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    viewport()->update();
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

QStringList TokenTextFieldEditor::readablePasteboardTypes()
{
    return { TokenStringPasteboard::fileTableViewRowUrlType, TokenStringPasteboard::tokenStringType,
        TokenStringPasteboard::stringType };
}

bool TokenTextFieldEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source && m_controlView && m_controlView->accepts(*source);
}

void TokenTextFieldEditor::insertFromMimeData(const QMimeData* source)
{
    if (canInsertFromMimeData(source))
        insertPastedItems(*source, textCursor().selectionStart());
}

namespace {
// A field holds one line: pasted line breaks become blanks, and those at
// either end go.
QString singleLine(const QString& text)
{
    static const QRegularExpression atEnds(QStringLiteral("^[\\r\\n\\x{2028}\\x{2029}]+|[\\r\\n\\x{2028}\\x{2029}]+$"));
    static const QRegularExpression within(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
    return QString(text).remove(atEnds).replace(within, QStringLiteral(" "));
}
} // namespace

int TokenTextFieldEditor::insertPastedItems(const QMimeData& source, int location)
{
    const TokenFieldHost* host = m_controlView ? m_controlView->transformDialogController() : nullptr;
    const TransformScope scope = host ? host->currentScopeValue() : TransformScope::filename;
    const std::optional<TokenString> pasted = TokenStringPasteboard::getTokenString(source, readablePasteboardTypes(), scope);
    if (!pasted)
        return 0;
    const QList<TokenType> supported = m_controlView ? m_controlView->supportedTokenTypes() : QList<TokenType> {};
    QList<TokenItem> items;
    for (const TokenItem& item : pasted->items()) {
        // A kind the field does not take arrives as its text.
        if (item.type != TokenType::STRING && supported.contains(item.type))
            items << item;
        else
            items << TokenItem::string(singleLine(item.value));
    }
    const bool nothing = std::all_of(items.cbegin(), items.cend(),
        [](const TokenItem& item) { return item.type == TokenType::STRING && item.value.isEmpty(); });
    if (nothing)
        return 0;
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(location, 0, document()->characterCount() - 1));
    const int start = cursor.position();
    TokenStringText::append(cursor, TokenString(items));
    setTextCursor(cursor);
    return cursor.position() - start;
}

bool TokenTextFieldEditor::isOwnDrag(const QMimeData* mimeData) const
{
    return m_outgoingDrag && mimeData == m_outgoingDrag.data();
}

Qt::DropAction TokenTextFieldEditor::execDrag(QDrag& drag)
{
    return drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

void TokenTextFieldEditor::startDrag()
{
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection())
        return;
    QPointer<QDrag> drag = new QDrag(this);
    QMimeData* mimeData = createMimeDataFromSelection();
    drag->setMimeData(mimeData);
    const TokenString dragged = selectedRangeAsTokenString();
    if (dragged.items().size() == 1 && TokenStringText::isChip(dragged.items().first())) {
        const qreal ratio = devicePixelRatioF();
        QImage chip = TokenTextAttachmentImageFactory::createImage(dragged.items().first().displayValue(), TokenDrawStyle::selected, ratio);
        chip.setDevicePixelRatio(ratio);
        drag->setPixmap(QPixmap::fromImage(chip));
    }
    m_outgoingDrag = mimeData;
    m_dragOrigin = selection;
    m_droppedWithin = false;
    const Qt::DropAction action = execDrag(*drag);
    // Moved into another application: the text leaves this field.
    if (action == Qt::MoveAction && !m_droppedWithin && m_dragOrigin.hasSelection())
        m_dragOrigin.removeSelectedText();
    m_outgoingDrag = nullptr;
    m_dragOrigin = QTextCursor();
    m_droppedWithin = false;
    if (drag)
        drag->deleteLater();
}

namespace {
// Within the field the text moves; from elsewhere it is copied.
void chooseDropAction(QDropEvent* event, bool ownDrag)
{
    const Qt::DropAction action = ownDrag ? Qt::MoveAction : Qt::CopyAction;
    if (event->possibleActions() & action) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}
} // namespace

void TokenTextFieldEditor::dragEnterEvent(QDragEnterEvent* event)
{
    const bool ownDrag = isOwnDrag(event->mimeData());
    if (!ownDrag) {
        const QStringList& types = m_controlView ? m_controlView->registeredDragTypes() : QStringList {};
        if (std::none_of(types.cbegin(), types.cend(), [&](const QString& type) { return event->mimeData()->hasFormat(type); })) {
            event->ignore();
            return;
        }
    }
    if (m_controlView)
        m_controlView->acquireFocus();
    QTextEdit::dragEnterEvent(event);
    if (event->isAccepted())
        chooseDropAction(event, ownDrag);
}

void TokenTextFieldEditor::dragMoveEvent(QDragMoveEvent* event)
{
    QTextEdit::dragMoveEvent(event);
    if (event->isAccepted())
        chooseDropAction(event, isOwnDrag(event->mimeData()));
}

void TokenTextFieldEditor::endDropFeedback()
{
    QDragLeaveEvent leave;
    QTextEdit::dragLeaveEvent(&leave);
}

void TokenTextFieldEditor::dropEvent(QDropEvent* event)
{
    endDropFeedback();
    const int location = cursorForPosition(event->position().toPoint()).position();
    if (isOwnDrag(event->mimeData()) && event->dropAction() == Qt::MoveAction) {
        moveDraggedText(location);
        m_droppedWithin = true;
        event->accept();
        return;
    }
    if (!canInsertFromMimeData(event->mimeData()) || insertPastedItems(*event->mimeData(), location) == 0) {
        event->ignore();
        return;
    }
    if (isOwnDrag(event->mimeData()))
        m_droppedWithin = true;
    chooseDropAction(event, false);
    setFocus(Qt::OtherFocusReason);
}

void TokenTextFieldEditor::moveDraggedText(int location)
{
    QTextCursor origin = m_dragOrigin;
    if (!origin.hasSelection())
        return;
    const int start = origin.selectionStart();
    const int end = origin.selectionEnd();
    QTextCursor insertion(document());
    if (location >= start && location <= end) {
        // Dropped onto itself: nothing moves.
        insertion.setPosition(end);
        setTextCursor(insertion);
        return;
    }
    const TokenString moved = TokenStringText::tokenString(*document(), start, end);
    insertion.setPosition(location);
    origin.beginEditBlock();
    origin.removeSelectedText();
    TokenStringText::append(insertion, moved);
    origin.endEditBlock();
    setTextCursor(insertion);
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
