// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "uikit/AppearanceColor.h"

#include <QColor>

class QWidget;

// The shared colours of controls, token chips and the file table. Colours that
// depend on the accent or the appearance are computed at every read, so they
// follow palette changes; views never name colours themselves.
namespace AppStyle {

// Mixes `fraction` (0 to 1) of `with` into `color`, alpha included.
QColor blended(const QColor& color, qreal fraction, const QColor& with);
// Towards white / towards black by `level`.
QColor highlighted(const QColor& color, qreal level);
QColor shaded(const QColor& color, qreal level);

// The palette's highlight colour stands for the system accent.
QColor accentColor();
// The face of a toggle that is on: the accent, apart from the faces of those
// that are off by this ratio, so the state shows at 3:1 with room for shading.
inline constexpr qreal TOGGLE_ON_RATIO = 4.5;
QColor toggleOnColor(const QWidget* view);
QColor strokeColor(const QWidget* view);
QColor darkBackgroundColor(const QWidget* view);
QColor controlUnselectedColor();
QColor controlSelectedDisabledColor();
AppearanceColor controlUnselectedDisabledColor();
QColor controlHighlightedAccentColor();
QColor tokenBackgroundColor();
QColor tokenFontColor();
QColor tokenSelectedFontColor();
QColor tokenSelectedBackgroundColor();

// The file table's text colours: normal, dimmed, error and warning, each also for
// a selected row. The first two follow the palette.
QColor tableTextNormal();
QColor tableTextLight();
QColor tableTextError();
QColor tableTextWarning();
QColor tableTextNormalSelected();
QColor tableTextLightSelected();
QColor tableTextErrorSelected();
QColor tableTextWarningSelected();
QColor tableHideNotRenamedFilesBackground();

} // namespace AppStyle
