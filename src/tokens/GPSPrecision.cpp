// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSPrecision.h"

#include "core/Dictionary+caseInsensitive.h"
#include "core/Number+format.h"
#include "tokens/LocaleFormat.h"
#include "tokens/TokenItem.h"

#include <cmath>

namespace GPSPrecisions {

const QList<GPSPrecision>& allCases()
{
    static const QList<GPSPrecision> cases = { GPSPrecision::country, GPSPrecision::city, GPSPrecision::neighbourhood,
        GPSPrecision::street, GPSPrecision::address, GPSPrecision::full };
    return cases;
}

std::optional<GPSPrecision> fromRawValue(int rawValue)
{
    if (rawValue < 1 || rawValue > 6)
        return std::nullopt;
    return static_cast<GPSPrecision>(rawValue);
}

QVariant rounded(GPSPrecision precision, const QVariant& degrees)
{
    return roundedNumber(degrees, int(precision));
}

GPSPrecision from(const TokenItem& token)
{
    return Dictionary::value(GPSLocationKeys(), token.value).value_or(GPSPrecision::full);
}

} // namespace GPSPrecisions

const QMap<QString, GPSPrecision>& GPSLocationKeys()
{
    static const QMap<QString, GPSPrecision> keys = {
        { QStringLiteral("GPS-AddressStreet"), GPSPrecision::street },
        { QStringLiteral("GPS-AddressCity"), GPSPrecision::city },
        { QStringLiteral("GPS-AddressZIP"), GPSPrecision::street },
        { QStringLiteral("GPS-AddressCountry"), GPSPrecision::country },
        { QStringLiteral("GPS-AddressState"), GPSPrecision::city },
        { QStringLiteral("GPS-AddressName"), GPSPrecision::full },
        { QStringLiteral("GPS-AddressSubAdministrativeArea"), GPSPrecision::city },
        { QStringLiteral("GPS-AddressThoroughfare"), GPSPrecision::street },
        { QStringLiteral("GPS-AddressSubThoroughfare"), GPSPrecision::address },
        { QStringLiteral("GPS-FormattedAddress"), GPSPrecision::full },
    };
    return keys;
}

QVariant roundedNumber(const QVariant& number, int decimals)
{
    return QVariant(Number::rounded(LocaleFormat::doubleValue(number).value_or(0.0), decimals));
}
