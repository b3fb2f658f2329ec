// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSAddressResolver.h"

#include "core/AppNotification.h"
#include "core/Preference.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "tokens/AppSleep.h"
#include "tokens/GPSCache.h"
#include "tokens/GPSError.h"
#include "tokens/ReverseGeocoder.h"
#include "tokens/TokenItem.h"
#include "tokens/TransformError.h"

GPSAddressResolver::GPSAddressResolver(GPSCache& cache, std::shared_ptr<ReverseGeocoder> geocoder,
    std::chrono::milliseconds second)
    : m_cache(cache)
    , m_geocoder(std::move(geocoder))
    , m_second(second)
    , m_processAborted(std::make_shared<std::atomic<bool>>(false))
{
    // The flag outlives neither observer nor resolver: the observer holds it weakly.
    std::weak_ptr<std::atomic<bool>> flag = m_processAborted;
    NotificationCenter::defaultCenter().addObserver(nullptr, NotificationName::abortProcess, [flag](const Notification&) {
        if (const auto aborted = flag.lock())
            *aborted = true;
    });
}

void GPSAddressResolver::abortProcessEvent()
{
    *m_processAborted = true;
}

namespace {
bool lookupSwitchedOn()
{
    return Preference::boolFor(PreferenceKey::gpsAddressLookup);
}
} // namespace

void GPSAddressResolver::forgetFailures()
{
    std::lock_guard lock(m_failuresMutex);
    m_failures.clear();
    m_unreachable = false;
    m_failureTold = false;
    m_foundOnline = false;
    m_unreportedFailure.reset();
}

std::optional<int> GPSAddressResolver::failureAt(double latitude, double longitude)
{
    std::lock_guard lock(m_failuresMutex);
    if (m_unreachable)
        return GPSError::NETWORK;
    const auto failed = m_failures.constFind(GPSCache::key(latitude, longitude, GPSPrecision::full));
    if (failed == m_failures.cend())
        return std::nullopt;
    return *failed;
}

void GPSAddressResolver::recordFailure(const QString& positionKey, const GPSError& error)
{
    std::lock_guard lock(m_failuresMutex);
    m_failures.insert(positionKey, error.errorCode);
    if (!m_failureTold) {
        m_failureTold = true;
        m_unreportedFailure = error;
    }
}

std::optional<QString> GPSAddressResolver::missingAddressReason(const FileAttributes& attributes)
{
    const auto position = GPSAddresses::position(attributes);
    if (!position || !lookupSwitchedOn())
        return std::nullopt;
    const std::optional<int> code = failureAt(position->latitude, position->longitude);
    if (!code)
        return std::nullopt;
    return QStringLiteral("No GPS Address: %1").arg(GPSError(*code).messageText);
}

bool GPSAddressResolver::foundAddressesOnline()
{
    std::lock_guard lock(m_failuresMutex);
    return m_foundOnline;
}

std::optional<GPSError> GPSAddressResolver::takeUnreportedFailure()
{
    std::lock_guard lock(m_failuresMutex);
    return std::exchange(m_unreportedFailure, std::nullopt);
}

QString GPSAddressResolver::resolveGPSAddressAttribute(const TokenItem& item, const FileAttributes& attributes,
    const GPSLookupSources& source)
{
    const auto position = GPSAddresses::position(attributes);
    if (!position || source.isEmpty())
        return {};
    if (source.contains(GPSLookupSource::cache)) {
        const GPSPrecision precision = GPSPrecisions::from(item);
        if (const auto address = m_cache.get(position->latitude, position->longitude, precision))
            return GPSAddresses::valueByKey(*address, item.value);
    }
    if (!lookupSwitchedOn())
        return {};
    // Known to fail in this run: left empty, the rest goes on.
    if (failureAt(position->latitude, position->longitude))
        return {};
    if (!source.contains(GPSLookupSource::internet))
        throw TransformError::lateUpdateRequired();
    if (!m_geocoder)
        return {};
    return lookupAddressFromInternet(position->latitude, position->longitude, item);
}

QString GPSAddressResolver::lookupAddressFromInternet(double latitude, double longitude, const TokenItem& item)
{
    const QString positionKey = GPSCache::key(latitude, longitude, GPSPrecision::full);
    try {
        const std::optional<GPSAddress> address = findAddress(latitude, longitude);
        if (!address)
            return {};
        m_cache.put(latitude, longitude, *address);
        {
            std::lock_guard lock(m_failuresMutex);
            m_foundOnline = true;
        }
        return GPSAddresses::valueByKey(*address, item.value);
    } catch (const TransformError&) {
        throw;
    } catch (const GPSError& error) {
        recordFailure(positionKey, error);
    } catch (...) {
        recordFailure(positionKey, GPSError(GPSError::OTHER));
    }
    return {};
}

std::optional<GPSAddress> GPSAddressResolver::findAddress(double latitude, double longitude)
{
    *m_processAborted = false;
    // Switching the lookups off, or quitting, ends a request or a wait as well.
    const auto isAborted = [flag = m_processAborted] {
        return flag->load() || GlobalActors::isShuttingDown() || !lookupSwitchedOn();
    };
    const auto switchedOff = [this] { return !*m_processAborted && !GlobalActors::isShuttingDown() && !lookupSwitchedOn(); };
    int wait = FIRST_WAIT;
    for (int retries = 0;; ++retries) {
        Log::debug(Log::Category::process, "lookupAddress: GPS Address retrieval latitude:%@, longitude:%@",
            QString::number(latitude, 'g', 10), QString::number(longitude, 'g', 10));
        const ReverseGeocodeResult result = m_geocoder->reverseGeocode(latitude, longitude, isAborted);
        if (result.kind == ReverseGeocodeResult::Kind::aborted) {
            if (switchedOff())
                return std::nullopt;
            throw TransformError::aborted();
        }
        if (result.kind == ReverseGeocodeResult::Kind::found)
            return Placemark::toAddress(result.placemark);
        const GPSError error(result.errorCode);
        const bool retry = error.retry && !result.unreachable;
        Log::error(Log::Category::process,
            "GPS reverse geocode location failed: '%{public}s', error details: '%{public}s', retry: %{public}s",
            result.errorDescription, error.messageText, retry ? "true" : "false");
        if (result.unreachable) {
            // Waiting minutes for every file does not bring the network back.
            std::lock_guard lock(m_failuresMutex);
            m_unreachable = true;
        }
        if (!retry || retries >= MAXIMUM_RETRIES) {
            Log::debug(Log::Category::process, "Giving up!");
            throw error;
        }
        try {
            AppSleep(isAborted, m_second).sleepWithProgressIndication(wait);
        } catch (const TransformError&) {
            if (switchedOff())
                return std::nullopt;
            throw;
        }
        if (isAborted()) {
            if (switchedOff())
                return std::nullopt;
            throw TransformError::aborted();
        }
        wait -= WAIT_STEP;
    }
}
