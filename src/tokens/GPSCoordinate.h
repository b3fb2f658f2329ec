// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QVariant>

// A position: latitude and longitude in degrees.
struct GPSCoordinate {
    QVariant latitude;
    QVariant longitude;

    // "10.12,-20.65", the form of the GPS address cache keys.
    QString key() const;

    QJsonObject toJson() const;
    // A missing member reads as 0.
    static GPSCoordinate fromJson(const QJsonObject& object);

    bool operator==(const GPSCoordinate& other) const;
};

size_t qHash(const GPSCoordinate& coordinate, size_t seed = 0);
