// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPS.h"

namespace GPSIds {

QString rawValue(GPS id)
{
    switch (id) {
    case GPS::longitude: return QStringLiteral("{GPS}.Longitude");
    case GPS::latitude: return QStringLiteral("{GPS}.Latitude");
    case GPS::longitudeRef: return QStringLiteral("{GPS}.LongitudeRef");
    case GPS::latitudeRef: return QStringLiteral("{GPS}.LatitudeRef");
    case GPS::altitude: return QStringLiteral("{GPS}.Altitude");
    }
    return {};
}

std::optional<GPS> fromRawValue(const QString& text)
{
    for (GPS id : { GPS::longitude, GPS::latitude, GPS::longitudeRef, GPS::latitudeRef, GPS::altitude }) {
        if (rawValue(id) == text)
            return id;
    }
    return std::nullopt;
}

std::optional<GPSCoordinateFormat> coordinateFormat(int rawValue)
{
    if (rawValue == 0)
        return GPSCoordinateFormat::GPSCoordinate;
    if (rawValue == 1)
        return GPSCoordinateFormat::decimal;
    return std::nullopt;
}

} // namespace GPSIds
