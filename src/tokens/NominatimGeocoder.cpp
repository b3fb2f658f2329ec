#include "tokens/NominatimGeocoder.h"

#include "core/Preference.h"
#include "platform/Log.h"
#include "tokens/GPSError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>

#include <mutex>
#include <thread>

namespace {

constexpr auto POLL = std::chrono::milliseconds(50);

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// Requests of the whole process keep the server's minimum interval.
bool waitForRequestSlot(const std::function<bool()>& isAborted)
{
    static std::mutex mutex;
    static std::chrono::steady_clock::time_point lastRequest;
    static bool anyRequest = false;
    std::lock_guard lock(mutex);
    if (anyRequest) {
        const auto earliest = lastRequest + NominatimGeocoder::MINIMUM_INTERVAL;
        while (std::chrono::steady_clock::now() < earliest) {
            if (isAborted())
                return false;
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(POLL, earliest - std::chrono::steady_clock::now()));
        }
    }
    anyRequest = true;
    lastRequest = std::chrono::steady_clock::now();
    return true;
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

int errorCode(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return GPSError::NETWORK;
    default:
        return GPSError::OTHER;
    }
}

} // namespace

NominatimGeocoder::NominatimGeocoder(QString server, std::chrono::milliseconds timeout)
    : m_server(std::move(server))
    , m_timeout(timeout)
{
}

QUrl NominatimGeocoder::requestUrl(const QString& server, double latitude, double longitude)
{
    QUrl url(server.trimmed());
    const bool allowed = url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("https") || (url.scheme() == QLatin1String("http") && isLoopback(url.host())));
    if (!allowed)
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
    if (!waitForRequestSlot(isAborted))
        return ReverseGeocodeResult::aborted();

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept-Language", acceptLanguage());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply* reply = manager.get(request);

    bool aborted = false;
    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64 total) {
        if (received > MAXIMUM_ANSWER_BYTES || total > MAXIMUM_ANSWER_BYTES) {
            tooLarge = true;
            reply->abort();
        }
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    poll.setInterval(POLL);
    QObject::connect(&poll, &QTimer::timeout, reply, [&] {
        if (isAborted())
            aborted = true;
        else if (elapsed.elapsed() >= m_timeout.count())
            timedOut = true;
        else
            return;
        reply->abort();
    });
    poll.start();
    if (!reply->isFinished())
        loop.exec();
    poll.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const QByteArray body = reply->readAll();
    delete reply;

    if (aborted)
        return ReverseGeocodeResult::aborted();
    if (timedOut)
        return ReverseGeocodeResult::failed(GPSError::TIMEDOUT, QStringLiteral("No answer within %1 ms").arg(m_timeout.count()));
    if (tooLarge)
        return ReverseGeocodeResult::failed(GPSError::OTHER, QStringLiteral("The answer is larger than %1 bytes").arg(MAXIMUM_ANSWER_BYTES));
    // An HTTP error status is judged by its code, a failed transfer by its kind.
    if (status == 0 && error != QNetworkReply::NoError)
        return ReverseGeocodeResult::failed(errorCode(error), errorText);
    return parseAnswer(status, body);
}
