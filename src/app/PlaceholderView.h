// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// Marks the place of a view that is not part of the application yet, saying
// what will be there. It does nothing else.
class PlaceholderView : public QLabel {
    Q_OBJECT
public:
    explicit PlaceholderView(const QString& description, QWidget* parent = nullptr);
};
