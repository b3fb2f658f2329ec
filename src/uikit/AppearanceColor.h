// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <optional>

class QWidget;

// A colour with a light and a dark variant. Every read resolves against the
// appearance in force at that moment, so a stored AppearanceColor follows a
// palette change without being told.
class AppearanceColor {
public:
    AppearanceColor() = default;
    AppearanceColor(std::optional<QColor> light, std::optional<QColor> dark)
        : m_light(std::move(light))
        , m_dark(std::move(dark))
    {
    }

    const std::optional<QColor>& light() const { return m_light; }
    const std::optional<QColor>& dark() const { return m_dark; }
    void setLight(std::optional<QColor> color) { m_light = std::move(color); }
    void setDark(std::optional<QColor> color) { m_dark = std::move(color); }

    // The variant for the application's appearance; black without variants.
    QColor appearanceColor() const;
    // The variant for the appearance of one widget.
    QColor appearanceColor(const QWidget* view) const;
    operator QColor() const { return appearanceColor(); }

    qreal redF() const { return appearanceColor().redF(); }
    qreal greenF() const { return appearanceColor().greenF(); }
    qreal blueF() const { return appearanceColor().blueF(); }
    qreal alphaF() const { return appearanceColor().alphaF(); }

    // Applies the alpha to both stored variants; the result still switches.
    AppearanceColor withAlphaComponent(qreal alpha) const;

    // Compares the resolved colours.
    bool operator==(const AppearanceColor& other) const { return appearanceColor() == other.appearanceColor(); }

private:
    QColor resolve(bool dark) const;

    std::optional<QColor> m_light;
    std::optional<QColor> m_dark;
};
