// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// One coordinate as degrees, minutes and seconds; all negative for a negative
// coordinate.
struct GPSDegreesMinutesSeconds {
    qint64 degrees = 0;
    qint64 minutes = 0;
    double seconds = 0;

    // An absent number counts as 0; a value that is not finite gives 0 too.
    static GPSDegreesMinutesSeconds from(const QVariant& decimal);
};

namespace GPSFormatUtil {

// "10° 34' 23.16'' N"; without a reference the text ends in "'' ".
QString formatGPSCoordinate(const QVariant& degrees, const std::optional<QString>& ref);
// Signed decimal degrees with up to 5 decimals; "S" and "W" make a positive
// value negative.
QString formatGPSDecimal(const QVariant& decimal, const std::optional<QString>& ref);

} // namespace GPSFormatUtil
