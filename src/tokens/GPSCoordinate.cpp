// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSCoordinate.h"

#include "tokens/LocaleFormat.h"

#include <QHashFunctions>

QString GPSCoordinate::key() const
{
    return LocaleFormat::description(latitude) + QLatin1Char(',') + LocaleFormat::description(longitude);
}

QJsonObject GPSCoordinate::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("latitude"), LocaleFormat::doubleValue(latitude).value_or(0.0));
    object.insert(QStringLiteral("longitude"), LocaleFormat::doubleValue(longitude).value_or(0.0));
    return object;
}

GPSCoordinate GPSCoordinate::fromJson(const QJsonObject& object)
{
    return { QVariant(object.value(QStringLiteral("latitude")).toDouble(0.0)),
        QVariant(object.value(QStringLiteral("longitude")).toDouble(0.0)) };
}

bool GPSCoordinate::operator==(const GPSCoordinate& other) const
{
    // Numbers compare by value, whatever their storage type.
    return LocaleFormat::doubleValue(latitude) == LocaleFormat::doubleValue(other.latitude)
        && LocaleFormat::doubleValue(longitude) == LocaleFormat::doubleValue(other.longitude);
}

size_t qHash(const GPSCoordinate& coordinate, size_t seed)
{
    return qHashMulti(seed, LocaleFormat::doubleValue(coordinate.latitude).value_or(0.0),
        LocaleFormat::doubleValue(coordinate.longitude).value_or(0.0));
}
