// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/NominatimGeocoder.h"

#include "core/Preference.h"
#include "platform/HttpGet.h"
#include "platform/RequestSpacing.h"
#include "tokens/GPSError.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QUrlQuery>


namespace {

// Requests of the whole process keep the server's minimum interval.
const std::shared_ptr<RequestSpacing>& processSpacing()
{
    static const auto spacing = std::make_shared<RequestSpacing>(Clock::system(), NominatimGeocoder::MINIMUM_INTERVAL);
    return spacing;
}

QString text(const QJsonObject& object, std::initializer_list<const char*> keys)
{
    for (const char* key : keys) {
        const QString value = object.value(QLatin1String(key)).toString().trimmed();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QByteArray acceptLanguage()
{
    QStringList languages = QLocale().uiLanguages();
    languages.removeAll(QStringLiteral("C"));
    return languages.isEmpty() ? QByteArrayLiteral("en") : languages.join(QLatin1Char(',')).toUtf8();
}

QByteArray userAgent()
{
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral(BRACKENFOLD_VERSION);
    return QStringLiteral("Brackenfold/%1 (batch file renamer for Linux)").arg(version).toUtf8();
}

} // namespace

NominatimGeocoder::NominatimGeocoder(QString server, std::chrono::milliseconds timeout,
    std::shared_ptr<RequestSpacing> spacing)
    : m_server(std::move(server))
    , m_timeout(timeout)
    , m_spacing(std::move(spacing))
{
}

QUrl NominatimGeocoder::requestUrl(const QString& server, double latitude, double longitude)
{
    QUrl url(server.trimmed());
    if (!HttpGet::isAllowed(url))
        return {};
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/reverse"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("jsonv2"));
    query.addQueryItem(QStringLiteral("lat"), QString::number(latitude, 'f', 6));
    query.addQueryItem(QStringLiteral("lon"), QString::number(longitude, 'f', 6));
    query.addQueryItem(QStringLiteral("zoom"), QStringLiteral("18"));
    query.addQueryItem(QStringLiteral("addressdetails"), QStringLiteral("1"));
    url.setQuery(query);
    return url;
}

ReverseGeocodeResult NominatimGeocoder::parseAnswer(int httpStatus, const QByteArray& body)
{
    if (httpStatus == 403)
        return ReverseGeocodeResult::failed(GPSError::DENIED, QStringLiteral("HTTP 403"));
    if (httpStatus == 429 || httpStatus == 502 || httpStatus == 503 || httpStatus == 504)
        return ReverseGeocodeResult::failed(GPSError::NETWORK, QStringLiteral("HTTP %1").arg(httpStatus));
    if (httpStatus != 200)
        return ReverseGeocodeResult::failed(GPSError::OTHER, QStringLiteral("HTTP %1").arg(httpStatus));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (!document.isObject())
        return ReverseGeocodeResult::failed(GPSError::OTHER, QStringLiteral("Malformed answer: %1").arg(parseError.errorString()));
    const QJsonObject answer = document.object();
    if (answer.contains(QLatin1String("error")))
        return ReverseGeocodeResult::failed(GPSError::NO_RESULT, answer.value(QLatin1String("error")).toString());
    const QString displayName = answer.value(QLatin1String("display_name")).toString();
    if (!answer.value(QLatin1String("address")).isObject() && displayName.isEmpty())
        return ReverseGeocodeResult::failed(GPSError::OTHER, QStringLiteral("Malformed answer: no address"));

    const QJsonObject address = answer.value(QLatin1String("address")).toObject();
    Placemark place;
    place.thoroughfare = text(address, { "road", "pedestrian", "footway", "path", "square" });
    place.subThoroughfare = text(address, { "house_number" });
    place.postalCode = text(address, { "postcode" });
    place.locality = text(address, { "city", "town", "village", "hamlet", "municipality" });
    place.administrativeArea = text(address, { "state" });
    place.subAdministrativeArea = text(address, { "county", "state_district" });
    place.country = text(address, { "country" });
    const QString numberedStreet = QStringList { place.subThoroughfare, place.thoroughfare }.join(QLatin1Char(' ')).trimmed();
    place.name = text(answer, { "name" });
    if (place.name.isEmpty())
        place.name = numberedStreet;
    if (place.name.isEmpty())
        place.name = displayName.section(QLatin1Char(','), 0, 0).trimmed();
    if (!address.isEmpty()) {
        place.postalAddress = PostalAddress { numberedStreet, place.locality, place.postalCode, place.administrativeArea,
            place.subAdministrativeArea, text(address, { "suburb", "neighbourhood", "city_district" }), place.country };
    }
    return ReverseGeocodeResult::found(place);
}

ReverseGeocodeResult NominatimGeocoder::reverseGeocode(double latitude, double longitude,
    const std::function<bool()>& isAborted)
{
    const QString server = m_server.value_or(Preference::stringFor(PreferenceKey::reverseGeocodingServer));
    const QUrl url = requestUrl(server, latitude, longitude);
    if (!url.isValid())
        return ReverseGeocodeResult::failed(GPSError::OTHER,
            QStringLiteral("The reverse geocoding server \"%1\" is not an https address").arg(server));
    const RequestSpacing::Turn turn(m_spacing ? *m_spacing : *processSpacing(), isAborted);
    if (!turn.granted())
        return ReverseGeocodeResult::aborted();

    HttpGet::Options options;
    options.headers = { { QByteArrayLiteral("User-Agent"), userAgent() }, { QByteArrayLiteral("Accept-Language"), acceptLanguage() } };
    options.timeout = m_timeout;
    options.maximumBytes = MAXIMUM_ANSWER_BYTES;
    options.isAborted = isAborted;
    const HttpGet::Result answer = HttpGet::get(url, options);
    switch (answer.kind) {
    case HttpGet::Result::Kind::finished:
        return parseAnswer(answer.status, answer.body);
    case HttpGet::Result::Kind::aborted:
        return ReverseGeocodeResult::aborted();
    case HttpGet::Result::Kind::timedOut:
        return ReverseGeocodeResult::failed(GPSError::TIMEDOUT, answer.errorText);
    case HttpGet::Result::Kind::failed:
        // No answer at all: offline, no such host, nobody listening.
        return answer.temporaryFailure ? ReverseGeocodeResult::unreachableService(answer.errorText)
                                       : ReverseGeocodeResult::failed(GPSError::OTHER, answer.errorText);
    case HttpGet::Result::Kind::refused:
    case HttpGet::Result::Kind::tooLarge:
        break;
    }
    return ReverseGeocodeResult::failed(GPSError::OTHER, answer.errorText);
}
