// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GPSAddress.h"

namespace {
struct Field {
    const char* key;
    QString GPSAddress::* member;
};
const Field FIELDS[] = {
    { "addressStreet", &GPSAddress::addressStreet },
    { "addressZip", &GPSAddress::addressZip },
    { "addressCity", &GPSAddress::addressCity },
    { "addressCountry", &GPSAddress::addressCountry },
    { "addressState", &GPSAddress::addressState },
    { "addressName", &GPSAddress::addressName },
    { "addressSubAdministrativeArea", &GPSAddress::addressSubAdministrativeArea },
    { "addressThoroughfare", &GPSAddress::addressThoroughfare },
    { "addressSubThoroughfare", &GPSAddress::addressSubThoroughfare },
    { "formattedAddress", &GPSAddress::formattedAddress },
};
} // namespace

QJsonObject GPSAddress::toJson() const
{
    QJsonObject object;
    for (const auto& field : FIELDS)
        object.insert(QLatin1String(field.key), this->*field.member);
    return object;
}

std::optional<GPSAddress> GPSAddress::fromJson(const QJsonObject& object)
{
    GPSAddress address;
    for (const auto& field : FIELDS) {
        const QJsonValue value = object.value(QLatin1String(field.key));
        if (!value.isString())
            return std::nullopt;
        address.*field.member = value.toString();
    }
    return address;
}
