// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AppStyle.h"

#include "uikit/Appearance.h"
#include "uikit/QColor+contrast.h"

#include <QGuiApplication>

#include <algorithm>
#include <QPalette>
#include <QWidget>

namespace AppStyle {

namespace {
QPalette paletteOf(const QWidget* view)
{
    return view ? view->palette() : QGuiApplication::palette();
}

QColor systemRedColor()
{
    return QColor::fromRgbF(1.0f, 0.23f, 0.19f);
}

// The colour moved toward black on a light table, toward white on a dark one,
// until it reads at the ratio for text on both row backgrounds.
QColor readableOnTable(QColor color, qreal ratio = 4.5)
{
    const QPalette palette = QGuiApplication::palette();
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor alternate = palette.color(QPalette::Active, QPalette::AlternateBase);
    const QColor target = base.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step < 40 && std::min(ColorContrast::ratio(color, base), ColorContrast::ratio(color, alternate)) < ratio; ++step)
        color = blended(color, 0.05, target);
    return color;
}

// The colour moved toward black or white, whichever stands out more from the
// background, until it reads at the ratio for text there.
QColor readableOn(QColor color, const QColor& background, qreal ratio = 4.5)
{
    const QColor target = ColorContrast::ratio(Qt::black, background) >= ColorContrast::ratio(Qt::white, background)
        ? QColor(Qt::black)
        : QColor(Qt::white);
    for (int step = 0; step < 40 && ColorContrast::ratio(color, background) < ratio; ++step)
        color = blended(color, 0.05, target);
    return color;
}

// Selected rows are drawn on the palette's highlight colour.
QColor readableOnSelection(const QColor& color)
{
    return readableOn(color, QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight));
}

// A faint grey fill that reads on light and dark backgrounds alike.
QColor tertiarySystemFillColor()
{
    return QColor::fromRgbF(0.46f, 0.46f, 0.5f, 0.12f);
}
} // namespace

QColor blended(const QColor& color, qreal fraction, const QColor& with)
{
    const QColor a = color.toRgb();
    const QColor b = with.toRgb();
    const qreal f = std::clamp(fraction, 0.0, 1.0);
    auto mix = [f](float x, float y) { return static_cast<float>(x * (1.0 - f) + y * f); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()),
        mix(a.blueF(), b.blueF()), mix(a.alphaF(), b.alphaF()));
}

QColor highlighted(const QColor& color, qreal level)
{
    QColor white(Qt::white);
    white.setAlphaF(color.alphaF());
    return blended(color, level, white);
}

QColor shaded(const QColor& color, qreal level)
{
    QColor black(Qt::black);
    black.setAlphaF(color.alphaF());
    return blended(color, level, black);
}

QColor accentColor()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QColor toggleOnColor(const QWidget* view)
{
    // The accent, moved away from the faces of buttons that are off and from
    // the window until it stands out from both.
    const QPalette palette = paletteOf(view);
    const QColor off = palette.color(QPalette::Active, QPalette::Button);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor target = off.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    for (int step = 0; step < 40 && std::min(ColorContrast::ratio(accent, off), ColorContrast::ratio(accent, window)) < TOGGLE_ON_RATIO;
         ++step)
        accent = blended(accent, 0.05, target);
    return accent;
}

QColor strokeColor(const QWidget* view)
{
    if (Appearance::isDarkMode(view))
        return shaded(tertiarySystemFillColor(), 0.3);
    return shaded(paletteOf(view).color(QPalette::Base), 0.2);
}

QColor darkBackgroundColor(const QWidget* view)
{
    if (Appearance::isDarkMode(view))
        return tertiarySystemFillColor();
    return shaded(paletteOf(view).color(QPalette::Window), 0.1);
}

QColor controlUnselectedColor()
{
    return blended(accentColor(), 0.95, Qt::white);
}

QColor controlSelectedDisabledColor()
{
    return QColor::fromRgbF(0.8f, 0.2f, 0.15f, 1.0f);
}

AppearanceColor controlUnselectedDisabledColor()
{
    return AppearanceColor(highlighted(systemRedColor(), 0.65), highlighted(systemRedColor(), 0.5));
}

QColor controlHighlightedAccentColor()
{
    return highlighted(accentColor(), Appearance::isDarkMode() ? 0.3 : 0.1);
}

QColor tokenBackgroundColor()
{
    return blended(accentColor(), 0.6, Qt::white);
}

QColor tokenFontColor()
{
    return ColorContrast::contrastColor(tokenBackgroundColor());
}

QColor tokenSelectedFontColor()
{
    const QColor accent = accentColor();
    if (ColorContrast::luminance(accent) > 0.8)
        return ColorContrast::contrastColor(blended(accent, 0.6, Qt::white));
    return QGuiApplication::palette().color(QPalette::Active, QPalette::HighlightedText);
}

QColor tokenSelectedBackgroundColor()
{
    return accentColor();
}

QColor tableTextNormal()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Text);
}

QColor tableTextLight()
{
    // Dimmer than the names that change, yet readable: a theme's disabled
    // text is often too faint for names a user still reads.
    return readableOnTable(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

QColor tableTextError()
{
    return readableOnTable(QColor(Qt::red));
}

QColor tableTextWarning()
{
    return readableOnTable(QColor::fromRgbF(1.0f, 0.5f, 0.0f));
}

QColor tableTextNormalSelected()
{
    // The desktop's own pairing with its highlight, as other lists draw it.
    return QGuiApplication::palette().color(QPalette::Active, QPalette::HighlightedText);
}

QColor tableTextLightSelected()
{
    return readableOnSelection(QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f));
}

QColor tableTextErrorSelected()
{
    return readableOnSelection(QColor(Qt::red));
}

QColor tableTextWarningSelected()
{
    return readableOnSelection(QColor::fromRgbF(1.0f, 0.8f, 0.0f, 1.0f));
}

QColor tableHideNotRenamedFilesBackground()
{
    return QColor::fromRgbF(0.0f, 0.0f, 1.0f, 0.05f);
}

} // namespace AppStyle
