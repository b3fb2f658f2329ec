// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The application's images, drawn in code so they scale to any size. Views load
// them by catalogue name; the functions are a typed view of the same set.
namespace AppImages {

// Every catalogue name.
const QStringList& names();
// The image of that name; a null icon for a name not in the catalogue.
QIcon image(const QString& name);

QIcon _1Magnifyingglass();
QIcon arrowButtonAdd();
QIcon arrowButtonBlue();
QIcon arrowButtonGrey();
QIcon arrowButtonLightred();
QIcon arrowButtonRed();
QIcon column1();
QIcon column2();
QIcon docIcon();
QIcon ellipsis();
QIcon plus();
QIcon plusCircle();
QIcon squareAndArrowUp();
QIcon brackenfoldIcon();
QIcon xmark();

// Status marks drawn in the palette's text colour, outside the catalogue.
QIcon lock();
QIcon warning();
QIcon checkmark();

} // namespace AppImages
