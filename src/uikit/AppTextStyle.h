// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>

// The shared text attributes and fonts. Fonts are made once; formats that carry
// palette colours are made at every read so they follow the appearance.
namespace AppTextStyle {

QTextCharFormat none();
QTextCharFormat strikethrough();
// Line spacing 0, 4 points between paragraphs.
QTextBlockFormat compactParagraph();
// The bold system font of size 13; the file table measures fitting widths with it.
QTextCharFormat tableRowBold();
QTextCharFormat hyperlink();

qreal largeFontSize();
QFont tableSubTitleFont();
// The fixed-pitch font at the large size; rule text fields use it.
QFont monoSpacedFont();

} // namespace AppTextStyle
