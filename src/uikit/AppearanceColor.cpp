// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AppearanceColor.h"

#include "uikit/Appearance.h"

QColor AppearanceColor::resolve(bool dark) const
{
    const auto& preferred = dark ? m_dark : m_light;
    const auto& other = dark ? m_light : m_dark;
    if (preferred)
        return *preferred;
    if (other)
        return *other;
    return QColor(Qt::black);
}

QColor AppearanceColor::appearanceColor() const
{
    return resolve(Appearance::isDarkMode());
}

QColor AppearanceColor::appearanceColor(const QWidget* view) const
{
    return resolve(Appearance::isDarkMode(view));
}

AppearanceColor AppearanceColor::withAlphaComponent(qreal alpha) const
{
    auto withAlpha = [alpha](const std::optional<QColor>& color) -> std::optional<QColor> {
        if (!color)
            return std::nullopt;
        QColor copy = *color;
        copy.setAlphaF(static_cast<float>(alpha));
        return copy;
    };
    return AppearanceColor(withAlpha(m_light), withAlpha(m_dark));
}
