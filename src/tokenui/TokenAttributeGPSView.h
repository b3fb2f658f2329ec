// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokenui/TokenAttributeViewController.h"

class QComboBox;

// Prefix, suffix and coordinate form of a GPS attribute.
class TokenAttributeGPSView : public TokenAttributeStringView {
    Q_OBJECT
public:
    explicit TokenAttributeGPSView(QWidget* parent = nullptr);
    QComboBox* gpsFormatPopup;

protected:
    void viewDidLoad(const TokenItem& item) override;
    void writeBack(TokenItem& item) override;
};
