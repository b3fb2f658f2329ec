// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GPSAddress.h"
#include "tokens/GPSError.h"

#include <functional>
#include <optional>

// The parts of a postal address, in the order they are joined.
struct PostalAddress {
    QString street;
    QString city;
    QString postalCode;
    QString state;
    QString subAdministrativeArea;
    QString subLocality;
    QString country;
};

// What a geocoder knows of one place.
struct Placemark {
    QString thoroughfare;
    QString postalCode;
    QString locality;
    QString country;
    QString administrativeArea;
    QString name;
    QString subAdministrativeArea;
    QString subThoroughfare;
    std::optional<PostalAddress> postalAddress;

    // Every text cleaned for use in file names; no place at all gives an
    // address of empty fields.
    static GPSAddress toAddress(const std::optional<Placemark>& placemark);
};

// The answer to one reverse-geocode request.
struct ReverseGeocodeResult {
    enum class Kind { found, failed, aborted };
    Kind kind = Kind::found;
    std::optional<Placemark> placemark; // found: none when nothing is at the position
    int errorCode = 0;                  // failed: a GPSError code
    QString errorDescription;           // failed: for the log
    bool unreachable = false;           // failed: the service was not reached at all

    static ReverseGeocodeResult found(std::optional<Placemark> placemark) { return { Kind::found, std::move(placemark), 0, {} }; }
    static ReverseGeocodeResult failed(int code, QString description) { return { Kind::failed, std::nullopt, code, std::move(description) }; }
    // No connection to the service: waiting a minute for it does not help.
    static ReverseGeocodeResult unreachableService(QString description)
    {
        return { Kind::failed, std::nullopt, GPSError::NETWORK, std::move(description), true };
    }
    static ReverseGeocodeResult aborted() { return { Kind::aborted, std::nullopt, 0, {} }; }
};

// Turns a position into a place. Blocks the calling worker until the answer
// arrives, the request times out, or `isAborted` answers true.
class ReverseGeocoder {
public:
    virtual ~ReverseGeocoder() = default;
    virtual ReverseGeocodeResult reverseGeocode(double latitude, double longitude,
        const std::function<bool()>& isAborted) = 0;
};
