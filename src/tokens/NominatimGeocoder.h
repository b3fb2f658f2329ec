// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/ReverseGeocoder.h"

#include <QByteArray>
#include <QUrl>

#include <chrono>
#include <memory>

class RequestSpacing;

// Reverse geocoding over HTTP with the JSON reverse API of an OpenStreetMap
// Nominatim server. The server is a preference, so a user can point it at
// their own; only https is spoken, except to this machine.
class NominatimGeocoder : public ReverseGeocoder {
public:
    static inline const QString DEFAULT_SERVER = QStringLiteral("https://nominatim.openstreetmap.org");
    // The data licence asks for this wherever the addresses are offered.
    static inline const QString ATTRIBUTION = QStringLiteral("© OpenStreetMap contributors");
    static constexpr qint64 MAXIMUM_ANSWER_BYTES = 1 << 20;
    static constexpr std::chrono::milliseconds TIMEOUT { 20000 };
    // The public servers allow one request a second from an application.
    static constexpr std::chrono::milliseconds MINIMUM_INTERVAL { 1000 };

    // Reads the server from the preferences at every request.
    NominatimGeocoder() = default;
    // A fixed server and time-out, and the spacing of its requests (tests);
    // without one, the spacing of all requests of the process.
    NominatimGeocoder(QString server, std::chrono::milliseconds timeout,
        std::shared_ptr<RequestSpacing> spacing = nullptr);

    ReverseGeocodeResult reverseGeocode(double latitude, double longitude,
        const std::function<bool()>& isAborted) override;

    // The request address, or an invalid one when the server may not be asked.
    static QUrl requestUrl(const QString& server, double latitude, double longitude);
    // The place or the error code of one answer of the server.
    static ReverseGeocodeResult parseAnswer(int httpStatus, const QByteArray& body);

private:
    std::optional<QString> m_server;
    std::chrono::milliseconds m_timeout = TIMEOUT;
    std::shared_ptr<RequestSpacing> m_spacing;
};
