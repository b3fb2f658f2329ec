// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextFieldAccessible.h"

#include "tokenui/TokenTextAttachment.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

QAccessibleInterface* tokenFieldFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TokenTextFieldEditor"))
        if (auto* editor = qobject_cast<TokenTextFieldEditor*>(object))
            return new TokenTextFieldAccessible(editor);
    return nullptr;
}

} // namespace

TokenTextFieldAccessible::TokenTextFieldAccessible(TokenTextFieldEditor* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

void TokenTextFieldAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(tokenFieldFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

TokenTextFieldEditor* TokenTextFieldAccessible::editor() const
{
    return static_cast<TokenTextFieldEditor*>(widget());
}

void* TokenTextFieldAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TokenTextFieldAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !editor()->isReadOnly();
    state.readOnly = editor()->isReadOnly();
    state.selectableText = true;
    state.multiLine = false;
    return state;
}

QString TokenTextFieldAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return spoken().text;
    return QAccessibleWidget::text(t);
}

TokenTextFieldAccessible::Spoken TokenTextFieldAccessible::spoken() const
{
    Spoken result;
    const QTextDocument* document = editor()->document();
    const int length = document->characterCount() - 1;
    const QString plain = document->toPlainText();
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    for (int position = 0; position < length; ++position) {
        result.starts << int(result.text.size());
        const QChar character = plain.at(position);
        if (character == QChar::ObjectReplacementCharacter) {
            cursor.setPosition(position + 1);
            if (const auto item = TokenTextAttachment::tokenItem(cursor.charFormat())) {
                result.text += item->displayValue();
                continue;
            }
        }
        result.text += character;
    }
    result.starts << int(result.text.size());
    return result;
}

int TokenTextFieldAccessible::spokenOffset(int position) const
{
    const QList<int> starts = spoken().starts;
    return starts.at(std::clamp(position, 0, int(starts.size()) - 1));
}

int TokenTextFieldAccessible::fieldPosition(int offset) const
{
    // An offset within a chip's label stands for the chip's start.
    const QList<int> starts = spoken().starts;
    const auto after = std::upper_bound(starts.cbegin(), starts.cend(), offset);
    return std::max(int(after - starts.cbegin()) - 1, 0);
}

void TokenTextFieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = editor()->textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection())
        return;
    *startOffset = spokenOffset(cursor.selectionStart());
    *endOffset = spokenOffset(cursor.selectionEnd());
}

int TokenTextFieldAccessible::selectionCount() const
{
    return editor()->textCursor().hasSelection() ? 1 : 0;
}

void TokenTextFieldAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TokenTextFieldAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = editor()->textCursor();
    cursor.clearSelection();
    editor()->setTextCursor(cursor);
}

void TokenTextFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = editor()->textCursor();
    const QList<int> starts = spoken().starts;
    // A selection that reaches into a label takes the whole chip.
    const int end = endOffset > 0 ? fieldPosition(endOffset - 1) + 1 : 0;
    cursor.setPosition(fieldPosition(startOffset));
    cursor.setPosition(std::min(end, int(starts.size()) - 1), QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
}

int TokenTextFieldAccessible::cursorPosition() const
{
    return spokenOffset(editor()->textCursor().position());
}

void TokenTextFieldAccessible::setCursorPosition(int position)
{
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(fieldPosition(position));
    editor()->setTextCursor(cursor);
}

QString TokenTextFieldAccessible::text(int startOffset, int endOffset) const
{
    const QString all = spoken().text;
    const int start = std::clamp(startOffset, 0, int(all.size()));
    const int end = endOffset < 0 ? int(all.size()) : std::clamp(endOffset, start, int(all.size()));
    return all.mid(start, end - start);
}

int TokenTextFieldAccessible::characterCount() const
{
    return int(spoken().text.size());
}

QRect TokenTextFieldAccessible::characterRect(int offset) const
{
    const QRectF frame = editor()->chipFrame(fieldPosition(offset));
    const QPoint topLeft = editor()->viewport()->mapToGlobal(frame.topLeft().toPoint());
    return QRect(topLeft, frame.size().toSize());
}

int TokenTextFieldAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    const QPointF documentPoint = local + QPointF(editor()->horizontalScrollBar()->value(), editor()->verticalScrollBar()->value());
    const int position = editor()->document()->documentLayout()->hitTest(documentPoint, Qt::ExactHit);
    return position < 0 ? -1 : spokenOffset(position);
}

void TokenTextFieldAccessible::scrollToSubstring(int startIndex, int)
{
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(fieldPosition(startIndex));
    editor()->setTextCursor(cursor);
    editor()->ensureCursorVisible();
}

QString TokenTextFieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}
