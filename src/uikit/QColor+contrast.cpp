#include "uikit/QColor+contrast.h"

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

QColor contrastColor(const QColor& color)
{
    return luminance(color) > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace ColorContrast
