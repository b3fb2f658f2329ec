// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokenui/TokenDrawStyle.h"

#include <QObject>
#include <QTextObjectInterface>

class QTextEdit;

// Sizes and draws the chips of one editor's document. A chip is drawn selected
// exactly when the editor's selection covers its character.
class TokenTextAttachmentCell : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit TokenTextAttachmentCell(QTextEdit* editor);

    // Makes the cell draw the chips of the editor's document.
    static void install(QTextEdit* editor);

    QSizeF intrinsicSize(QTextDocument* document, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int posInDocument,
        const QTextFormat& format) override;

    static TokenDrawStyle drawStyle(int position, const QTextEdit* editor);

private:
    QTextEdit* m_editor;
};
