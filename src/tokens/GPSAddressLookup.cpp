// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSAddressLookup.h"

#include "tokens/FileAttribute+add.h"

#include <cmath>

namespace GPSAddresses {

std::optional<Position> position(const FileAttributes& attributes)
{
    const auto latitude = AttributeDictionary::value(attributes.attributes, QStringLiteral("{GPS}.Latitude"));
    const auto longitude = AttributeDictionary::value(attributes.attributes, QStringLiteral("{GPS}.Longitude"));
    const auto latitudeRef = AttributeDictionary::value(attributes.attributes, QStringLiteral("{GPS}.LatitudeRef"));
    const auto longitudeRef = AttributeDictionary::value(attributes.attributes, QStringLiteral("{GPS}.LongitudeRef"));
    if (!latitude || !longitude || !latitudeRef || !longitudeRef)
        return std::nullopt;
    const auto lat = FileAttributeValues::doubleValue(latitude->attributeValue);
    const auto lon = FileAttributeValues::doubleValue(longitude->attributeValue);
    const auto latRef = latitudeRef->attributeValue.stringValue();
    const auto lonRef = longitudeRef->attributeValue.stringValue();
    if (!lat || !lon || !latRef || !lonRef)
        return std::nullopt;
    const double signedLatitude = *latRef == QLatin1String("N") ? *lat : -*lat;
    const double signedLongitude = *lonRef == QLatin1String("E") ? *lon : -*lon;
    return Position { std::round(signedLatitude * 1000000.0) / 1000000.0,
        std::round(signedLongitude * 1000000.0) / 1000000.0 };
}

QString valueByKey(const GPSAddress& address, const QString& key)
{
    const auto is = [&key](const char* name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("GPS-AddressStreet")) return address.addressStreet;
    if (is("GPS-AddressZIP")) return address.addressZip;
    if (is("GPS-AddressCity"))
        return address.addressCity.isEmpty() ? address.addressThoroughfare : address.addressCity;
    if (is("GPS-AddressCountry")) return address.addressCountry;
    if (is("GPS-AddressState")) return address.addressState;
    if (is("GPS-AddressName")) return address.addressName;
    if (is("GPS-AddressSubAdministrativeArea")) return address.addressSubAdministrativeArea;
    if (is("GPS-AddressThoroughfare")) return address.addressThoroughfare;
    if (is("GPS-AddressSubThoroughfare")) return address.addressSubThoroughfare;
    if (is("GPS-FormattedAddress")) return address.formattedAddress;
    return {};
}

} // namespace GPSAddresses
