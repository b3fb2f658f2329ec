#include "tokens/GPSAddressLookup.h"

#include "core/Preference.h"
#include "platform/Log.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSCoordinate.h"
#include "tokens/GPSPrecision.h"
#include "tokens/TokenItem.h"
#include "tokens/TransformError.h"

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
    if (key == QLatin1String("GPS-AddressStreet")) return address.addressStreet;
    if (key == QLatin1String("GPS-AddressZIP")) return address.addressZip;
    if (key == QLatin1String("GPS-AddressCity"))
        return address.addressCity.isEmpty() ? address.addressThoroughfare : address.addressCity;
    if (key == QLatin1String("GPS-AddressCountry")) return address.addressCountry;
    if (key == QLatin1String("GPS-AddressState")) return address.addressState;
    if (key == QLatin1String("GPS-AddressName")) return address.addressName;
    if (key == QLatin1String("GPS-AddressSubAdministrativeArea")) return address.addressSubAdministrativeArea;
    if (key == QLatin1String("GPS-AddressThoroughfare")) return address.addressThoroughfare;
    if (key == QLatin1String("GPS-AddressSubThoroughfare")) return address.addressSubThoroughfare;
    if (key == QLatin1String("GPS-FormattedAddress")) return address.formattedAddress;
    return {};
}

} // namespace GPSAddresses

GPSCacheAddressLookup::GPSCacheAddressLookup(GPSAddressMap cache)
    : m_cache(std::move(cache))
{
}

QString GPSCacheAddressLookup::resolveGPSAddressAttribute(const TokenItem& item, const FileAttributes& attributes,
    const GPSLookupSources& source)
{
    const auto position = GPSAddresses::position(attributes);
    if (!position || source.isEmpty())
        return {};
    if (source.contains(GPSLookupSource::cache)) {
        const GPSPrecision precision = GPSPrecisions::from(item);
        const GPSCoordinate key { GPSPrecisions::rounded(precision, position->latitude),
            GPSPrecisions::rounded(precision, position->longitude) };
        std::lock_guard lock(m_mutex);
        const auto found = m_cache.constFind(key.key());
        if (found != m_cache.cend())
            return GPSAddresses::valueByKey(*found, item.value);
    }
    if (!Preference::boolFor(PreferenceKey::gpsAddressLookup))
        return {};
    if (!source.contains(GPSLookupSource::internet))
        throw TransformError::lateUpdateRequired();
    Log::debug(Log::Category::process, "No cached GPS address for %{public}s; looking addresses up is not available",
        item.value);
    return {};
}
