// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ImageUtil.h"

#include <QGuiApplication>
#include <QPainter>

namespace ImageUtil {

QPixmap withOpacity(const QPixmap& image, qreal opacity)
{
    if (image.isNull())
        return {};
    QPixmap faded(image.size());
    faded.setDevicePixelRatio(image.devicePixelRatio());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(opacity);
    painter.drawPixmap(0, 0, image);
    return faded;
}

QPixmap transparentCanvas(const QSize& size)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap canvas(size * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    return canvas;
}

QPixmap ofSize(const QPixmap& image, const QSize& size)
{
    if (image.isNull() || size.isEmpty())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace ImageUtil
