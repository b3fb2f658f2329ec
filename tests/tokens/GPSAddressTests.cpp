// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"

#include "core/AppNotification.h"
#include "core/Preference.h"
#include "platform/NotificationCenter.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/GPSError.h"
#include "tokens/GPSFormatUtil.h"
#include "tokens/GPSPrecision.h"
#include "tokens/NominatimGeocoder.h"
#include "tokens/TokenItem.h"
#include "tokens/TransformError.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

GPSAddress addressIn(const QString& city)
{
    GPSAddress address;
    address.addressCity = city;
    address.addressCountry = QStringLiteral("Utopia");
    return address;
}

TokenItem token(const QString& key)
{
    TokenItem item;
    item.type = TokenType::ATTRIBUTE;
    item.value = key;
    return item;
}

FileAttributes located(double latitude, const QString& latitudeRef, double longitude, const QString& longitudeRef)
{
    FileAttributeDictionary attributes;
    AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", latitude);
    AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", latitudeRef);
    AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", longitude);
    AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", longitudeRef);
    return FileAttributes { attributes };
}

// ---- cache

TEST(GPSCacheTest, AnAddressIsFoundAtEveryPrecisionOfItsPosition)
{
    GPSCache cache;
    cache.put(10.123456, -20.654321, addressIn("Springfield"));
    EXPECT_EQ(cache.count(), 6);
    for (GPSPrecision precision : GPSPrecisions::allCases())
        EXPECT_EQ(cache.get(10.123456, -20.654321, precision), addressIn("Springfield")) << int(precision);
    EXPECT_TRUE(cache.get(10.14, -20.68, GPSPrecision::country).has_value()) << "same key 10.1,-20.7";
    EXPECT_FALSE(cache.get(10.14, -20.68, GPSPrecision::city).has_value());
    EXPECT_TRUE(cache.get(10.1234561, -20.654321, GPSPrecision::full).has_value());
    EXPECT_TRUE(cache.cache().contains("10.12,-20.65"));

    cache.clear();
    EXPECT_EQ(cache.count(), 0);
    EXPECT_FALSE(cache.get(10.123456, -20.654321, GPSPrecision::full).has_value());
}

TEST(GPSCacheTest, TheEntriesStoredLongestAgoGoFirstPastTheLimit)
{
    GPSCache cache({}, 12);
    cache.put(1.111111, 1.111111, addressIn("First"));
    cache.put(2.222222, 2.222222, addressIn("Second"));
    cache.put(1.111111, 1.111111, addressIn("First again")); // refreshed: now the newest
    cache.put(3.333333, 3.333333, addressIn("Third"));
    EXPECT_EQ(cache.count(), 12);
    EXPECT_FALSE(cache.get(2.222222, 2.222222, GPSPrecision::full).has_value());
    EXPECT_EQ(cache.get(1.111111, 1.111111, GPSPrecision::full), addressIn("First again"));
    EXPECT_EQ(cache.get(3.333333, 3.333333, GPSPrecision::city), addressIn("Third"));
}

TEST(GPSCacheTest, TheStoredFormWrapsTheEntriesAndReadsBack)
{
    Preference::setGpsCache({ { "10.12,-20.65", addressIn("Springfield") } });
    const QString stored = Preference::stringFor(PreferenceKey::gpsCache);
    EXPECT_TRUE(stored.startsWith(R"({"cache":{"10.12,-20.65":{)")) << stored.toStdString();
    EXPECT_EQ(Preference::getGpsCache().value("10.12,-20.65"), addressIn("Springfield"));
    Preference::setGpsCache({});
    EXPECT_EQ(Preference::stringFor(PreferenceKey::gpsCache), R"({"cache":{}})");
}

TEST(GPSCacheTest, TheSharedCacheIsSavedSoonAfterNewAddressesArrive)
{
    Preference::setGpsCache({});
    GPSCache::shared().put(47.376887, 8.541694, addressIn("Zürich"));
    // Without any exit: a crash after this point keeps the address.
    EXPECT_TRUE(TestEnvironment::processEventsUntil(
        [] { return Preference::getGpsCache().contains("47.38,8.54"); }, 10s));
    EXPECT_EQ(Preference::getGpsCache().size(), GPSCache::shared().count());
    GPSCache::shared().clear();
    GPSCache::savePending();
    EXPECT_TRUE(Preference::getGpsCache().isEmpty());
}

// ---- keys and texts

TEST(GPSAddressKeys, KeysAreMatchedWhateverTheirLetterCase)
{
    GPSAddress address;
    address.addressThoroughfare = "Main Street";
    address.addressZip = "12345";
    address.formattedAddress = "X,Y";
    const struct {
        const char* key;
        const char* value;
        GPSPrecision precision;
    } cases[] = {
        { "GPS-AddressCity", "Main Street", GPSPrecision::city }, // no city: the street
        { "gps-addresscity", "Main Street", GPSPrecision::city },
        { "GPS-ADDRESSZIP", "12345", GPSPrecision::street },
        { "gps-formattedaddress", "X,Y", GPSPrecision::full },
        { "GPS-Elsewhere", "", GPSPrecision::full },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GPSAddresses::valueByKey(address, c.key), c.value) << c.key;
        EXPECT_EQ(GPSPrecisions::from(token(c.key)), c.precision) << c.key;
    }
}

TEST(GPSAddressKeys, SecondsThatRoundToAMinuteCarry)
{
    // 10° 34' 59.9996'' rounds to 60.0 seconds.
    const double degrees = 10.0 + 34.0 / 60.0 + 59.9996 / 3600.0;
    EXPECT_EQ(GPSFormatUtil::formatGPSCoordinate(degrees, QString("N")), QString::fromUtf8("10° 35' 0.0'' N"));
    EXPECT_EQ(GPSFormatUtil::formatGPSCoordinate(-degrees, QString("S")), QString::fromUtf8("-10° -35' 0.0'' S"));
    const double almostEleven = 10.0 + 59.0 / 60.0 + 59.9999 / 3600.0;
    EXPECT_EQ(GPSFormatUtil::formatGPSCoordinate(almostEleven, QString("E")), QString::fromUtf8("11° 0' 0.0'' E"));
}

TEST(GPSErrorTest, TextsAndRetriesOfEachCode)
{
    const struct {
        int code;
        const char* message;
        bool retry;
    } cases[] = {
        { 0, "The location manager was unable to obtain a location value right now. (error code 0)", true },
        { 1, "Access to the location service was denied by the user. (error code 1)", false },
        { 2, "The network was unavailable or a network error occurred. (error code 2)", true },
        { 8, "The geocode request yielded no result. (error code 8)", false },
        { 9, "The geocode request yielded a partial result. (error code 9)", false },
        { 99, "GPS Address retrieval timed out. (error code 99)", false },
        { 10, "GPS Address information cannot be retrieved. (error code 10)", false },
    };
    for (const auto& c : cases) {
        const GPSError error(c.code);
        EXPECT_EQ(error.messageText, c.message);
        EXPECT_EQ(error.retry, c.retry) << c.code;
    }
    EXPECT_EQ(GPSError(2).informativeText,
        "This may be only temporary. Please try again in a minute.\n\nThe rest of the files will be renamed without GPS Address information.");
    EXPECT_EQ(GPSError(8).informativeText, GPSError::DEFAULT_INFOTEXT);
}

// ---- the server's answers

TEST(NominatimAnswers, FieldsOfAnAnswer)
{
    const QByteArray body = R"({"place_id":1,"name":"","display_name":"12, Baker Street, London, NW1, United Kingdom",
        "address":{"house_number":"12","road":"Baker Street","suburb":"Marylebone","city":"London",
        "state_district":"Greater London","state":"England","postcode":"NW1 6XE","country":"United Kingdom"}})";
    const ReverseGeocodeResult result = NominatimGeocoder::parseAnswer(200, body);
    ASSERT_EQ(result.kind, ReverseGeocodeResult::Kind::found);
    const GPSAddress address = Placemark::toAddress(result.placemark);
    EXPECT_EQ(address.addressStreet, "Baker Street");
    EXPECT_EQ(address.addressThoroughfare, "Baker Street");
    EXPECT_EQ(address.addressSubThoroughfare, "12");
    EXPECT_EQ(address.addressZip, "NW1 6XE");
    EXPECT_EQ(address.addressCity, "London");
    EXPECT_EQ(address.addressState, "England");
    EXPECT_EQ(address.addressSubAdministrativeArea, "Greater London");
    EXPECT_EQ(address.addressCountry, "United Kingdom");
    EXPECT_EQ(address.addressName, "12 Baker Street") << "no name: number and street";
    EXPECT_EQ(address.formattedAddress, "12 Baker Street,London,NW1 6XE,England,Greater London,Marylebone,United Kingdom");

    const ReverseGeocodeResult village = NominatimGeocoder::parseAnswer(200,
        R"({"name":"Mill: Old/New","address":{"village":"X","country":"Y"}})");
    const GPSAddress small = Placemark::toAddress(village.placemark);
    EXPECT_EQ(small.addressCity, "X");
    EXPECT_EQ(small.formattedAddress, "X,Y");
    EXPECT_EQ(small.addressName, QString::fromUtf8("Mill꞉ Old:New")) << "cleaned for file names";
    EXPECT_EQ(Placemark::toAddress(std::nullopt), GPSAddress());
}

TEST(NominatimAnswers, ErrorsMapToGeocoderCodes)
{
    const struct {
        int status;
        const char* body;
        int code;
    } cases[] = {
        { 200, R"({"error":"Unable to geocode"})", GPSError::NO_RESULT },
        { 200, "{not json", GPSError::OTHER },
        { 200, "[]", GPSError::OTHER },
        { 200, "{}", GPSError::OTHER },
        { 403, "", GPSError::DENIED },
        { 429, "", GPSError::NETWORK },
        { 503, "", GPSError::NETWORK },
        { 500, "", GPSError::OTHER },
        { 404, "", GPSError::OTHER },
    };
    for (const auto& c : cases) {
        const ReverseGeocodeResult result = NominatimGeocoder::parseAnswer(c.status, c.body);
        EXPECT_EQ(result.kind, ReverseGeocodeResult::Kind::failed) << c.status << c.body;
        EXPECT_EQ(result.errorCode, c.code) << c.status << c.body;
    }
}

TEST(NominatimAnswers, OnlyHttpsOrThisMachineIsAsked)
{
    const struct {
        const char* server;
        const char* url;
    } cases[] = {
        { "https://nominatim.openstreetmap.org", "https://nominatim.openstreetmap.org/reverse?format=jsonv2&lat=10.123456&lon=-20.654321&zoom=18&addressdetails=1" },
        { "https://geo.example.org/nominatim/", "https://geo.example.org/nominatim/reverse?format=jsonv2&lat=10.123456&lon=-20.654321&zoom=18&addressdetails=1" },
        { "http://127.0.0.1:8080", "http://127.0.0.1:8080/reverse?format=jsonv2&lat=10.123456&lon=-20.654321&zoom=18&addressdetails=1" },
        { "http://localhost", "http://localhost/reverse?format=jsonv2&lat=10.123456&lon=-20.654321&zoom=18&addressdetails=1" },
        { "http://nominatim.openstreetmap.org", "" },
        { "ftp://127.0.0.1", "" },
        { "", "" },
        { "nonsense", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(NominatimGeocoder::requestUrl(c.server, 10.123456, -20.654321).toString(), c.url) << c.server;
}

// ---- requests to a loopback server

const QByteArray CITY_ANSWER = R"({"name":"","address":{"road":"Main Street","city":"Springfield","country":"Utopia"}})";

// A request time-out that only a hang reaches, however loaded the machine.
constexpr auto PATIENT = 60s;

ReverseGeocodeResult ask(NominatimGeocoder& geocoder, const std::function<bool()>& isAborted = [] { return false; })
{
    return geocoder.reverseGeocode(10.5, -20.25, isAborted);
}

TEST(NominatimRequests, AnAnswerOfTheServer)
{
    LoopbackHttpServer server({ { 200, CITY_ANSWER } });
    NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
    const ReverseGeocodeResult result = ask(geocoder);
    ASSERT_EQ(result.kind, ReverseGeocodeResult::Kind::found) << result.errorDescription.toStdString();
    EXPECT_EQ(Placemark::toAddress(result.placemark).addressCity, "Springfield");

    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray request = server.requests().first();
    EXPECT_TRUE(request.startsWith("GET /reverse?format=jsonv2&lat=10.500000&lon=-20.250000&zoom=18&addressdetails=1 HTTP/1.1")) << request.constData();
    EXPECT_TRUE(request.contains("User-Agent: Brackenfold/")) << request.constData();
    EXPECT_TRUE(request.contains("Accept-Language: ")) << request.constData();
}

TEST(NominatimRequests, FailuresOfTheTransfer)
{
    {
        LoopbackHttpServer server({ { 200, R"({"error":"Unable to geocode"})" } });
        NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
        EXPECT_EQ(ask(geocoder).errorCode, GPSError::NO_RESULT);
    }
    {
        LoopbackHttpServer server({ { 403, "{}" } });
        NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
        EXPECT_EQ(ask(geocoder).errorCode, GPSError::DENIED);
    }
    {
        LoopbackHttpServer server({ { 200, "<html>" } });
        NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
        EXPECT_EQ(ask(geocoder).errorCode, GPSError::OTHER);
    }
    {
        LoopbackHttpServer server({ { 200, QByteArray(NominatimGeocoder::MAXIMUM_ANSWER_BYTES + 10, ' ') } });
        NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
        EXPECT_EQ(ask(geocoder).errorCode, GPSError::OTHER) << "too large";
    }
    {
        // The answer would come long after the bound below: only the time-out ends the request before it.
        LoopbackHttpServer server({ { 200, CITY_ANSWER, 2 * PATIENT } });
        NominatimGeocoder geocoder(server.baseUrl(), 300ms);
        const auto start = std::chrono::steady_clock::now();
        const ReverseGeocodeResult result = ask(geocoder);
        EXPECT_EQ(result.kind, ReverseGeocodeResult::Kind::failed);
        EXPECT_EQ(result.errorCode, GPSError::TIMEDOUT);
        EXPECT_LT(std::chrono::steady_clock::now() - start, PATIENT / 2);
    }
    {
        NominatimGeocoder geocoder("http://203.0.113.9", PATIENT);
        EXPECT_EQ(ask(geocoder).errorCode, GPSError::OTHER) << "plain http elsewhere is refused before any request";
    }
}

TEST(NominatimRequests, AnAbortEndsARequestAtOnce)
{
    // Neither the answer nor the time-out comes before the bound below: only the abort ends the request before it.
    LoopbackHttpServer server({ { 200, CITY_ANSWER, 2 * PATIENT } });
    NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
    const auto start = std::chrono::steady_clock::now();
    const ReverseGeocodeResult result = ask(geocoder, [start] { return std::chrono::steady_clock::now() - start > 200ms; });
    EXPECT_EQ(result.kind, ReverseGeocodeResult::Kind::aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - start, PATIENT / 2);
}

TEST(NominatimRequests, RequestsFromWorkersArriveOneSecondApart)
{
    LoopbackHttpServer server({ { 200, CITY_ANSWER } });
    NominatimGeocoder geocoder(server.baseUrl(), PATIENT);
    ReverseGeocodeResult first, second;
    // A request arrives before its answer leaves the server, and the next one
    // starts a second after that answer came back: however slow the
    // connection, the server sees them a second apart.
    std::thread a([&] { first = ask(geocoder); });
    std::thread b([&] { second = ask(geocoder); });
    a.join();
    b.join();
    EXPECT_EQ(first.kind, ReverseGeocodeResult::Kind::found);
    EXPECT_EQ(second.kind, ReverseGeocodeResult::Kind::found);
    const auto times = server.requestTimes();
    ASSERT_EQ(times.size(), 2);
    EXPECT_GE(times[1] - times[0], NominatimGeocoder::MINIMUM_INTERVAL);
}

// ---- the resolver

// Answers with a script of results and counts the requests.
class ScriptedGeocoder : public ReverseGeocoder {
public:
    explicit ScriptedGeocoder(QList<ReverseGeocodeResult> script)
        : m_script(std::move(script))
    {
    }
    ReverseGeocodeResult reverseGeocode(double latitude, double longitude, const std::function<bool()>& isAborted) override
    {
        const int index = requests++;
        positions << qMakePair(latitude, longitude);
        if (onRequest)
            onRequest();
        if (hangUntilAborted) {
            while (!isAborted())
                std::this_thread::sleep_for(5ms);
            return ReverseGeocodeResult::aborted();
        }
        return m_script.at(std::min<qsizetype>(index, m_script.size() - 1));
    }
    std::atomic<int> requests { 0 };
    QList<QPair<double, double>> positions;
    std::function<void()> onRequest;
    bool hangUntilAborted = false;

private:
    QList<ReverseGeocodeResult> m_script;
};

Placemark springfield()
{
    Placemark place;
    place.locality = "Springfield";
    place.country = "Utopia";
    place.postalAddress = PostalAddress { {}, "Springfield", {}, {}, {}, {}, "Utopia" };
    return place;
}

class GPSResolverTest : public ::testing::Test {
protected:
    void SetUp() override { Preference::set(true, PreferenceKey::gpsAddressLookup); }
    QString resolve(GPSAddressResolver& resolver, const QString& key, const GPSLookupSources& source,
        const FileAttributes& attributes = located(12.5, "S", 3.25, "E"))
    {
        return resolver.resolveGPSAddressAttribute(token(key), attributes, source);
    }
    const GPSLookupSources full { GPSLookupSource::cache, GPSLookupSource::internet };
    const GPSLookupSources quick { GPSLookupSource::cache };
    GPSCache cache;
};

TEST_F(GPSResolverTest, AFoundAddressIsCachedAndServesThePreview)
{
    auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::found(springfield()) });
    GPSAddressResolver resolver(cache, geocoder, 1ms);
    EXPECT_THROW(resolve(resolver, "GPS-AddressCity", quick), TransformError) << "the preview cannot ask";
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full), "Springfield");
    ASSERT_EQ(geocoder->positions.size(), 1);
    EXPECT_EQ(geocoder->positions.first(), qMakePair(-12.5, 3.25)) << "south is negative";
    EXPECT_EQ(resolve(resolver, "gps-addresscountry", quick), "Utopia");
    EXPECT_EQ(resolve(resolver, "GPS-FormattedAddress", full), "Springfield,Utopia");
    EXPECT_EQ(geocoder->requests, 1);
    for (GPSPrecision precision : GPSPrecisions::allCases())
        EXPECT_TRUE(cache.get(-12.5, 3.25, precision).has_value()) << int(precision);

    FileAttributes noReference = located(12.5, "S", 3.25, "E");
    noReference.attributes.remove("{GPS}.LongitudeRef");
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full, noReference), "");
    Preference::set(false, PreferenceKey::gpsAddressLookup);
    EXPECT_EQ(resolve(resolver, "GPS-AddressStreet", full, located(1, "N", 1, "E")), "");
    EXPECT_EQ(geocoder->requests, 1);
}

TEST_F(GPSResolverTest, AFailedLookupLeavesTheAddressEmptyAndSaysWhy)
{
    const auto network = ReverseGeocodeResult::failed(GPSError::NETWORK, "busy");
    const struct {
        const char* name;
        QList<ReverseGeocodeResult> script;
        int requests;
        const char* error; // none: found
    } cases[] = {
        { "three failures then success", { network, network, network, ReverseGeocodeResult::found(springfield()) }, 4, nullptr },
        { "four failures", { network }, 4, "The network was unavailable or a network error occurred. (error code 2)" },
        { "no result is final", { ReverseGeocodeResult::failed(GPSError::NO_RESULT, "") }, 1, "The geocode request yielded no result. (error code 8)" },
        { "a refusal is final", { ReverseGeocodeResult::failed(GPSError::DENIED, "") }, 1, "Access to the location service was denied by the user. (error code 1)" },
        { "time-out", { ReverseGeocodeResult::failed(GPSError::TIMEDOUT, "") }, 1, "GPS Address retrieval timed out. (error code 99)" },
        { "no connection at all is not waited for", { ReverseGeocodeResult::unreachableService("Host not found") }, 1,
            "The network was unavailable or a network error occurred. (error code 2)" },
    };
    for (const auto& c : cases) {
        GPSCache fresh;
        auto geocoder = std::make_shared<ScriptedGeocoder>(c.script);
        GPSAddressResolver resolver(fresh, geocoder, 1ms);
        const FileAttributes attributes = located(12.5, "S", 3.25, "E");
        EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full, attributes), c.error ? "" : "Springfield") << c.name;
        EXPECT_EQ(geocoder->requests, c.requests) << c.name;
        if (!c.error) {
            EXPECT_FALSE(resolver.missingAddressReason(attributes).has_value()) << c.name;
            EXPECT_FALSE(resolver.takeUnreportedFailure().has_value()) << c.name;
            continue;
        }
        EXPECT_EQ(resolver.missingAddressReason(attributes), QString("No GPS Address: ") + c.error) << c.name;
        const std::optional<GPSError> told = resolver.takeUnreportedFailure();
        ASSERT_TRUE(told.has_value()) << c.name;
        EXPECT_EQ(told->messageText, c.error) << c.name;
        EXPECT_TRUE(told->informativeText.endsWith(GPSError::DEFAULT_INFOTEXT)) << c.name;
        EXPECT_FALSE(resolver.takeUnreportedFailure().has_value()) << c.name << ": told once";
    }
}

TEST_F(GPSResolverTest, AFailedPositionIsNotAskedAgainUntilTheNextRun)
{
    auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::failed(GPSError::NO_RESULT, "") });
    GPSAddressResolver resolver(cache, geocoder, 1ms);
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full), "");
    EXPECT_EQ(resolve(resolver, "GPS-AddressStreet", full), "");
    EXPECT_EQ(resolve(resolver, "GPS-AddressStreet", quick), "") << "the preview does not wait for it either";
    EXPECT_EQ(geocoder->requests, 1);
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full, located(1, "N", 1, "E")), "");
    EXPECT_EQ(geocoder->requests, 2) << "another position is asked";
    EXPECT_TRUE(resolver.takeUnreportedFailure().has_value());
    EXPECT_FALSE(resolver.takeUnreportedFailure().has_value()) << "one word a run";

    resolver.forgetFailures();
    EXPECT_FALSE(resolver.missingAddressReason(located(12.5, "S", 3.25, "E")).has_value());
    EXPECT_THROW(resolve(resolver, "GPS-AddressCity", quick), TransformError) << "asked again in the next run";
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full), "");
    EXPECT_EQ(geocoder->requests, 3);
    EXPECT_TRUE(resolver.takeUnreportedFailure().has_value());
}

TEST_F(GPSResolverTest, AnUnreachableServiceIsAskedOnceARun)
{
    auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::unreachableService("Host not found") });
    GPSAddressResolver resolver(cache, geocoder, 1ms);
    const FileAttributes elsewhere = located(1, "N", 1, "E");
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full), "");
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", full, elsewhere), "");
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", quick, located(2, "N", 2, "E")), "") << "no late update that cannot come";
    EXPECT_EQ(geocoder->requests, 1);
    EXPECT_TRUE(resolver.missingAddressReason(elsewhere).has_value());
    Preference::set(false, PreferenceKey::gpsAddressLookup);
    EXPECT_FALSE(resolver.missingAddressReason(elsewhere).has_value()) << "switched off: nothing is missing";
}

TEST_F(GPSResolverTest, SwitchingTheLookupsOffEndsARequestOrAWaitAtOnce)
{
    for (const bool duringWait : { false, true }) {
        Preference::set(true, PreferenceKey::gpsAddressLookup);
        auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::failed(GPSError::NETWORK, "busy") });
        geocoder->hangUntilAborted = !duringWait;
        // Real seconds: only the switch ends the 60-second wait or the hanging request early.
        GPSAddressResolver resolver(cache, geocoder);
        LogCapture log;
        std::atomic<bool> returned = false;
        std::thread user([&] {
            const char* sign = duringWait ? "Sleeping " : "lookupAddress: ";
            while (!returned && log.lines().filter(sign).isEmpty())
                std::this_thread::sleep_for(1ms);
            Preference::set(false, PreferenceKey::gpsAddressLookup);
        });
        const auto start = std::chrono::steady_clock::now();
        QString text = "unset";
        EXPECT_NO_THROW(text = resolve(resolver, "GPS-AddressCity", full)) << duringWait;
        returned = true;
        user.join();
        EXPECT_EQ(text, "") << duringWait;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 30s) << duringWait;
        EXPECT_FALSE(resolver.takeUnreportedFailure().has_value()) << "switched off is no failure";
    }
}

TEST_F(GPSResolverTest, AnAbortEndsTheWaitAndTheRequest)
{
    const auto expectAborted = [&](GPSAddressResolver& resolver) {
        const auto start = std::chrono::steady_clock::now();
        try {
            resolve(resolver, "GPS-AddressCity", full);
            ADD_FAILURE() << "no error";
        } catch (const TransformError& error) {
            EXPECT_EQ(error.kind(), TransformError::Kind::aborted);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    };
    {
        // Real seconds: the 60-second wait must end at the abort, not after it.
        // The abort comes once the wait has begun: one made before the lookup
        // starts is rightly forgotten, and one made during the request would not
        // show that the wait itself listens.
        auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::failed(GPSError::NETWORK, "") });
        GPSAddressResolver resolver(cache, geocoder);
        LogCapture log;
        std::atomic<bool> returned = false;
        std::thread aborter([&] {
            while (!returned && log.lines().filter("Sleeping ").isEmpty())
                std::this_thread::sleep_for(1ms);
            resolver.abortProcessEvent();
        });
        expectAborted(resolver);
        returned = true;
        aborter.join();
        EXPECT_EQ(geocoder->requests, 1);
    }
    {
        auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::found(springfield()) });
        geocoder->hangUntilAborted = true;
        GPSAddressResolver resolver(cache, geocoder);
        geocoder->onRequest = [&] { resolver.abortProcessEvent(); };
        expectAborted(resolver);
        EXPECT_EQ(cache.count(), 0);
    }
}

TEST_F(GPSResolverTest, TheAbortNotificationReachesTheResolver)
{
    // Progress of earlier tests' waits is still queued.
    TestEnvironment::drainEvents();
    QStringList seen;
    QObject observer;
    for (const QString& name : { NotificationName::showProgressView, NotificationName::hideProgressView, NotificationName::updateProgressView })
        NotificationCenter::defaultCenter().addObserver(&observer, name, [&seen, name](const Notification&) { seen << name; });
    auto geocoder = std::make_shared<ScriptedGeocoder>(QList { ReverseGeocodeResult::failed(GPSError::NETWORK, "") });
    GPSAddressResolver resolver(cache, geocoder);
    std::atomic<bool> done = false;
    std::optional<TransformError::Kind> kind;
    std::thread worker([&] {
        try {
            resolve(resolver, "GPS-AddressCity", full);
        } catch (const TransformError& error) {
            kind = error.kind();
        }
        done = true;
    });
    // Not ASSERT: the worker is joined whatever happens.
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return seen.contains(NotificationName::updateProgressView); }, 30s));
    NotificationCenter::defaultCenter().post(Notification { NotificationName::abortProcess, {}, std::nullopt });
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return done.load(); }, 30s));
    worker.join();
    EXPECT_EQ(kind, TransformError::Kind::aborted);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return seen.contains(NotificationName::hideProgressView); }));
    EXPECT_EQ(seen.first(), NotificationName::showProgressView);
}

TEST_F(GPSResolverTest, TheResolverOverALoopbackServer)
{
    LoopbackHttpServer server({ { 503, "" }, { 200, CITY_ANSWER } });
    GPSAddressResolver resolver(cache, std::make_shared<NominatimGeocoder>(server.baseUrl(), PATIENT), 1ms);
    EXPECT_EQ(resolve(resolver, "GPS-AddressStreet", full), "Main Street");
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(resolve(resolver, "GPS-AddressCity", quick), "Springfield");
}

} // namespace
