#pragma once

#include <QObject>

// Posts the notification a menu item names by its object name.
class NotificationMenuAction : public QObject {
    Q_OBJECT
public slots:
    void postNotification(QObject* sender);
};
