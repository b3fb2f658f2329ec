// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Colour measures for picking readable text over a background.
namespace ColorContrast {

// 0.33 R + 0.5 G + 0.16 B of the sRGB components (the weights add up to 0.99).
qreal luminance(const QColor& color);
// (luminance of `color` + 0.05) / (luminance of `other` + 0.05).
qreal contrast(const QColor& color, const QColor& other);
// Black over a colour whose luminance is above 0.5, else white.
QColor contrastColor(const QColor& color);
// The contrast ratio of accessibility guidelines, from 1 to 21 whichever
// colour is lighter: text wants 4.5, icons 3.
qreal ratio(const QColor& a, const QColor& b);

} // namespace ColorContrast
