// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableViewCell.h"

#include "uikit/AppStyle.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int TEXT_MARGIN = 4;
constexpr int ICON_SIZE = 16;
}

QColor FileTableViewCell::textColor(FileTableTextTint tint, BackgroundStyle backgroundStyle)
{
    const bool emphasized = backgroundStyle == BackgroundStyle::emphasized;
    switch (tint) {
    case FileTableTextTint::normal:
        return emphasized ? AppStyle::tableTextNormalSelected() : AppStyle::tableTextNormal();
    case FileTableTextTint::dimmed:
        return emphasized ? AppStyle::tableTextLightSelected() : AppStyle::tableTextLight();
    case FileTableTextTint::error:
        return emphasized ? AppStyle::tableTextErrorSelected() : AppStyle::tableTextError();
    case FileTableTextTint::warning:
        return emphasized ? AppStyle::tableTextWarningSelected() : AppStyle::tableTextWarning();
    }
    return AppStyle::tableTextNormal();
}

void FileTableViewCell::draw(QPainter* painter, const QRect& rect, const QFont& font, const QString& text) const
{
    const QRect textRect = rect.adjusted(TEXT_MARGIN, 0, -TEXT_MARGIN, 0);
    painter->save();
    painter->setFont(font);
    painter->setPen(textColor());
    const QString elided = QFontMetrics(font).elidedText(text, Qt::ElideMiddle, textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    painter->restore();
}

void FileTableViewCell::drawIconLabel(QPainter* painter, const QRect& rect, const QFont& font, const QIcon& icon,
    const QString& label) const
{
    painter->save();
    if (!icon.isNull()) {
        const QRect iconRect(rect.left() + ICON_TAB_STOP, rect.top() + (rect.height() - ICON_SIZE) / 2, ICON_SIZE,
            ICON_SIZE);
        icon.paint(painter, iconRect, Qt::AlignCenter);
    }
    const QRect labelRect = rect.adjusted(LABEL_TAB_STOP, 0, -TEXT_MARGIN, 0);
    painter->setFont(font);
    painter->setPen(textColor());
    const QString elided = QFontMetrics(font).elidedText(label, Qt::ElideMiddle, labelRect.width());
    painter->drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    painter->restore();
}
