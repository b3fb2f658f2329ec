// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filetable/FileTableTextTint.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QPainter;

// The text of one file table cell. Its colour is never set directly: it follows
// the tint the data source gives the cell and the background style the row
// pushes into it when it draws (emphasized on a selected row).
class FileTableViewCell {
public:
    enum class BackgroundStyle { normal, emphasized };

    // The icon sits at the first tab stop, the label at the second.
    static constexpr int ICON_TAB_STOP = 2;
    static constexpr int LABEL_TAB_STOP = 24;

    FileTableTextTint tint = FileTableTextTint::normal;
    BackgroundStyle backgroundStyle = BackgroundStyle::normal;

    // Computed at every read from tint and background style.
    QColor textColor() const { return textColor(tint, backgroundStyle); }
    static QColor textColor(FileTableTextTint tint, BackgroundStyle backgroundStyle);

    // Draws a plain text, or an icon and a label on the two tab stops.
    void draw(QPainter* painter, const QRect& rect, const QFont& font, const QString& text) const;
    void drawIconLabel(QPainter* painter, const QRect& rect, const QFont& font, const QIcon& icon,
        const QString& label) const;
};
