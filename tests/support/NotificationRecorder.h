// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationCenter.h"

#include <QObject>
#include <QStringList>

#include <vector>

// Observes some names and keeps every delivery, in order.
class NotificationRecorder : public QObject {
public:
    explicit NotificationRecorder(const QStringList& names)
    {
        for (const QString& name : names)
            NotificationCenter::defaultCenter().addObserver(this, name,
                [this](const Notification& n) { received.push_back(n); });
    }

    QStringList names() const
    {
        QStringList list;
        for (const auto& n : received)
            list << n.name;
        return list;
    }
    int count(const QString& name) const
    {
        int c = 0;
        for (const auto& n : received)
            c += n.name == name ? 1 : 0;
        return c;
    }

    std::vector<Notification> received;
};
