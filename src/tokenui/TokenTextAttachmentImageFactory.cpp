// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextAttachmentImageFactory.h"

#include "uikit/AppStyle.h"

#include <QFontMetricsF>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace TokenTextAttachmentImageFactory {

QFont font()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPointSizeF(11);
    f.setWeight(QFont::Normal);
    return f;
}

QColor tokenBackgroundColor(TokenDrawStyle style)
{
    return style == TokenDrawStyle::selected ? AppStyle::tokenSelectedBackgroundColor() : AppStyle::tokenBackgroundColor();
}

QColor fontColor(TokenDrawStyle style)
{
    return style == TokenDrawStyle::selected ? AppStyle::tokenSelectedFontColor() : AppStyle::tokenFontColor();
}

QSizeF imageSize(const QString& tokenText)
{
    const QFontMetricsF metrics(font());
    const QSizeF text(metrics.horizontalAdvance(tokenText), metrics.height());
    return QSizeF(text.width() + paddingLeft + paddingRight + marginLeft + marginRight,
        text.height() + marginTopBottom);
}

QImage createImage(const QString& tokenText, TokenDrawStyle style, qreal devicePixelRatio)
{
    const QSizeF size = imageSize(tokenText);
    QImage image(QSize(int(std::ceil(size.width() * devicePixelRatio)), int(std::ceil(size.height() * devicePixelRatio))),
        QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = QRectF(marginLeft, 0, size.width() - marginLeft - marginRight, size.height()).adjusted(1, 1, -1, -1);
    QPainterPath path;
    path.addRoundedRect(pill, radius, radius);
    painter.fillPath(path, tokenBackgroundColor(style));

    const QFont f = font();
    const QFontMetricsF metrics(f);
    painter.setFont(f);
    painter.setPen(fontColor(style));
    // The text line is centred in the pill (top-left origin here).
    const qreal baselineY = marginTopBottom / 2 + metrics.ascent();
    painter.drawText(QPointF(marginLeft + paddingLeft, baselineY), tokenText);
    return image;
}

} // namespace TokenTextAttachmentImageFactory
