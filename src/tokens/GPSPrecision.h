// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <optional>

struct TokenItem;

// How many decimals of a coordinate are kept before an address is cached.
enum class GPSPrecision { country = 1, city = 2, neighbourhood = 3, street = 4, address = 5, full = 6 };

namespace GPSPrecisions {

const QList<GPSPrecision>& allCases();
std::optional<GPSPrecision> fromRawValue(int rawValue);
// The degrees rounded to the precision's decimals.
QVariant rounded(GPSPrecision precision, const QVariant& degrees);
// The precision of a GPS address token, whatever the key's letter case;
// `full` for a key not in the table.
GPSPrecision from(const TokenItem& token);

} // namespace GPSPrecisions

// The ten GPS address token keys and their precision.
const QMap<QString, GPSPrecision>& GPSLocationKeys();

// A number rounded half away from zero: 1 to 5 decimals as asked, any other
// count to 6 decimals.
QVariant roundedNumber(const QVariant& number, int decimals);
