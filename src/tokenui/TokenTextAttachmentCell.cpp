// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextAttachmentCell.h"

#include "tokenui/TokenTextAttachment.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextEdit>

namespace {
QString labelOf(const QTextFormat& format)
{
    const auto item = TokenTextAttachment::tokenItem(format);
    return item ? item->displayValue() : QString();
}
} // namespace

TokenTextAttachmentCell::TokenTextAttachmentCell(QTextEdit* editor)
    : QObject(editor)
    , m_editor(editor)
{
}

void TokenTextAttachmentCell::install(QTextEdit* editor)
{
    editor->document()->documentLayout()->registerHandler(TokenTextAttachment::OBJECT_TYPE,
        new TokenTextAttachmentCell(editor));
}

QSizeF TokenTextAttachmentCell::intrinsicSize(QTextDocument*, int, const QTextFormat& format)
{
    return TokenTextAttachmentImageFactory::imageSize(labelOf(format));
}

void TokenTextAttachmentCell::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int posInDocument,
    const QTextFormat& format)
{
    const QImage image = TokenTextAttachmentImageFactory::createImage(labelOf(format), drawStyle(posInDocument, m_editor),
        painter->device() ? painter->device()->devicePixelRatioF() : 1.0);
    painter->drawImage(rect, image);
}

TokenDrawStyle TokenTextAttachmentCell::drawStyle(int position, const QTextEdit* editor)
{
    if (!editor)
        return TokenDrawStyle::normal;
    const QTextCursor cursor = editor->textCursor();
    const int start = cursor.selectionStart();
    const int length = cursor.selectionEnd() - start;
    return position >= start && position - start < length ? TokenDrawStyle::selected : TokenDrawStyle::normal;
}
