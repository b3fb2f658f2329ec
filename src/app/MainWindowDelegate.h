// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Watches the main window becoming and ceasing to be the active window.
class MainWindowDelegate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
