// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Posts the notification a menu item names by its object name.
class NotificationMenuAction : public QObject {
    Q_OBJECT
public slots:
    void postNotification(QObject* sender);
};
