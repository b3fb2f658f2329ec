// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokenui/TokenDrawStyle.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>

// Renders the pill of a chip: the label on a rounded accent-coloured
// background, with padding and margins around the text.
namespace TokenTextAttachmentImageFactory {

inline constexpr qreal paddingLeft = 8;
inline constexpr qreal paddingRight = 8;
inline constexpr qreal marginLeft = 1;
inline constexpr qreal marginRight = 1;
inline constexpr qreal marginTopBottom = 4;
inline constexpr qreal textBaseline = 5;
inline constexpr qreal radius = 4;

QFont font();
QColor tokenBackgroundColor(TokenDrawStyle style);
QColor fontColor(TokenDrawStyle style);

// The size of the label's text plus padding and margins (18 wider, 4 higher).
QSizeF imageSize(const QString& tokenText);
QImage createImage(const QString& tokenText, TokenDrawStyle style, qreal devicePixelRatio = 1.0);

} // namespace TokenTextAttachmentImageFactory
