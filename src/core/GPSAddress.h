// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

// One reverse-geocoded address.
struct GPSAddress {
    QString addressStreet;
    QString addressZip;
    QString addressCity;
    QString addressCountry;
    QString addressState;
    QString addressName;
    QString addressSubAdministrativeArea;
    QString addressThoroughfare;
    QString addressSubThoroughfare;
    QString formattedAddress;

    bool operator==(const GPSAddress&) const = default;

    QJsonObject toJson() const;
    // Every one of the ten keys must be present and hold text.
    static std::optional<GPSAddress> fromJson(const QJsonObject& object);
};

// Cached addresses by the key of their rounded position.
using GPSAddressMap = QMap<QString, GPSAddress>;
