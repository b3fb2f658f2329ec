// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/ReverseGeocoder.h"

#include "core/String+utilities.h"

GPSAddress Placemark::toAddress(const std::optional<Placemark>& placemark)
{
    GPSAddress address;
    if (!placemark)
        return address;
    const auto clean = [](const QString& text) { return String::fileAndFolderSafeName(text); };
    address.addressStreet = clean(placemark->thoroughfare);
    address.addressThoroughfare = clean(placemark->thoroughfare);
    address.addressZip = clean(placemark->postalCode);
    address.addressCity = clean(placemark->locality);
    address.addressCountry = clean(placemark->country);
    address.addressState = clean(placemark->administrativeArea);
    address.addressName = clean(placemark->name);
    address.addressSubAdministrativeArea = clean(placemark->subAdministrativeArea);
    address.addressSubThoroughfare = clean(placemark->subThoroughfare);
    if (const auto& postal = placemark->postalAddress) {
        QStringList parts;
        for (const QString& part : { postal->street, postal->city, postal->postalCode, postal->state,
                 postal->subAdministrativeArea, postal->subLocality, postal->country }) {
            if (!part.isEmpty())
                parts << part;
        }
        address.formattedAddress = clean(parts.join(QLatin1Char(',')));
    }
    return address;
}
