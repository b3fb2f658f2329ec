// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/QColor+contrast.h"

#include <algorithm>
#include <cmath>

namespace ColorContrast {

qreal luminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.33 * rgb.redF() + 0.5 * rgb.greenF() + 0.16 * rgb.blueF();
}

qreal contrast(const QColor& color, const QColor& other)
{
    return (luminance(color) + 0.05) / (luminance(other) + 0.05);
}

qreal ratio(const QColor& a, const QColor& b)
{
    const auto linear = [](qreal c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const auto relative = [&](const QColor& color) {
        const QColor rgb = color.toRgb();
        return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
    };
    const qreal x = relative(a) + 0.05;
    const qreal y = relative(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}

QColor contrastColor(const QColor& color)
{
    return luminance(color) > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace ColorContrast
