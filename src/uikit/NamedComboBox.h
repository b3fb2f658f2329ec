// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

// A pop-up button that a screen reader names by its accessible name, with the
// chosen item as its value. Qt's own combo box is named after its current
// item on this platform, so the reader never says what the choice is for.
class NamedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit NamedComboBox(QWidget* parent = nullptr);
};
