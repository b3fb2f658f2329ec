// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributeGPSView.h"

#include "uikit/NamedComboBox.h"

#include <QComboBox>
#include <QFormLayout>

TokenAttributeGPSView::TokenAttributeGPSView(QWidget* parent)
    : TokenAttributeStringView(parent)
    , gpsFormatPopup(new NamedComboBox(this))
{
    setAccessibleName(QStringLiteral("GPS token settings"));
    gpsFormatPopup->addItem(QStringLiteral("Degrees, minutes and seconds"), 0);
    gpsFormatPopup->addItem(QStringLiteral("Decimal degrees"), 1);
    gpsFormatPopup->setAccessibleName(QStringLiteral("Coordinate form"));
    gpsFormatPopup->setToolTip(QStringLiteral("How a coordinate is written"));
    form()->addRow(QStringLiteral("&Form:"), gpsFormatPopup);
}

void TokenAttributeGPSView::viewDidLoad(const TokenItem& item)
{
    TokenAttributeStringView::viewDidLoad(item);
    // An unknown form selects nothing, and closing keeps it.
    gpsFormatPopup->setCurrentIndex(gpsFormatPopup->findData(item.gpsFormat));
}

void TokenAttributeGPSView::writeBack(TokenItem& item)
{
    TokenAttributeStringView::writeBack(item);
    if (gpsFormatPopup->currentIndex() >= 0)
        item.gpsFormat = gpsFormatPopup->currentData().toInt();
}
