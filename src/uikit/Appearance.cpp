// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/Appearance.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace Appearance {

namespace {
constexpr int MID_LIGHTNESS = 128;
}

bool isDarkMode(const QPalette& palette)
{
    // Some themes draw light windows around dark text areas; both must be dark.
    return palette.color(QPalette::Window).lightness() < MID_LIGHTNESS
        && palette.color(QPalette::Base).lightness() < MID_LIGHTNESS;
}

bool isDarkMode()
{
    return isDarkMode(QGuiApplication::palette());
}

bool isDarkMode(const QWidget* view)
{
    return view ? isDarkMode(view->palette()) : isDarkMode();
}

} // namespace Appearance
