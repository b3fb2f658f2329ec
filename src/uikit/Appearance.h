// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPalette;
class QWidget;

// Whether the user interface is dark. Linux has no named appearances: a palette
// whose window or base colour is darker than mid grey is dark.
namespace Appearance {

bool isDarkMode(const QPalette& palette);
// The application palette, read at every call.
bool isDarkMode();
// The palette in force for one widget; the application palette without one.
bool isDarkMode(const QWidget* view);

} // namespace Appearance
