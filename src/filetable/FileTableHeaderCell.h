// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filetable/FileTableColumn.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QPainter;
class QWidget;

// Draws the inside of one header section of the file table: the column title
// and, where a pair can be toggled, the column icon in front of it.
namespace FileTableHeaderCell {

// Draws nothing unless `controlView` is a FileTableHeaderView; the column is
// the one at the frame's origin.
void drawInterior(QPainter* painter, const QRect& frame, const QWidget* controlView);

QString getColumnTitle(std::optional<FileTableColumn> column);
// Path columns always show their icon, a name column only while the path
// column of its pair is collapsed.
bool showsIcon(FileTableColumn column, bool pathColumnCollapsed);
// Where the title starts for a frame.
QPoint titlePosition(const QRect& frame, bool withIcon);

} // namespace FileTableHeaderCell
