// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The attribute ids of the GPS position of a file.
enum class GPS { longitude, latitude, longitudeRef, latitudeRef, altitude };

// The display form of a GPS coordinate token (a token item's `gpsFormat`).
enum class GPSCoordinateFormat { GPSCoordinate = 0, decimal = 1 };

namespace GPSIds {

QString rawValue(GPS id);
std::optional<GPS> fromRawValue(const QString& text);
std::optional<GPSCoordinateFormat> coordinateFormat(int rawValue);

} // namespace GPSIds
