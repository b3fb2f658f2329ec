// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// One notification: a name, an optional object and optional user info.
struct Notification {
    QString name;
    QVariant object;
    std::optional<QVariantMap> userInfo;

    // The value under `key`, or an invalid QVariant when there is no such entry.
    QVariant value(const QString& key) const
    {
        return userInfo ? userInfo->value(key) : QVariant();
    }
};

Q_DECLARE_METATYPE(Notification)
