// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>

namespace ImageUtil {

// A copy of the same size drawn at `opacity`; a null image stays null.
QPixmap withOpacity(const QPixmap& image, qreal opacity);
// A copy scaled into `size`; the image itself when it is null or the size is empty.
QPixmap ofSize(const QPixmap& image, const QSize& size);
// A transparent picture of `size` points to draw on, at the screen's pixel ratio.
QPixmap transparentCanvas(const QSize& size);

} // namespace ImageUtil
