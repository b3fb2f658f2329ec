#include "tokens/GPSAddressResolver.h"

#include "core/AppNotification.h"
#include "core/Preference.h"
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

void GPSAddressResolver::forgetFailures()
{
    std::lock_guard lock(m_failuresMutex);
    m_failures.clear();
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
    if (!Preference::boolFor(PreferenceKey::gpsAddressLookup))
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
        {
            std::lock_guard lock(m_failuresMutex);
            const auto failed = m_failures.constFind(positionKey);
            if (failed != m_failures.cend())
                throw GPSError(*failed);
        }
        const GPSAddress address = findAddress(latitude, longitude);
        m_cache.put(latitude, longitude, address);
        return GPSAddresses::valueByKey(address, item.value);
    } catch (const TransformError&) {
        throw;
    } catch (const GPSError& error) {
        {
            std::lock_guard lock(m_failuresMutex);
            m_failures.insert(positionKey, error.errorCode);
        }
        throw TransformError::fatal(error.messageText, error.informativeText);
    } catch (...) {
        throw TransformError::fatal(GPSError::DEFAULT_MESSAGETEXT, GPSError::DEFAULT_INFOTEXT);
    }
}

GPSAddress GPSAddressResolver::findAddress(double latitude, double longitude)
{
    *m_processAborted = false;
    const auto isAborted = [flag = m_processAborted] { return flag->load(); };
    int wait = FIRST_WAIT;
    for (int retries = 0;; ++retries) {
        Log::debug(Log::Category::process, "lookupAddress: GPS Address retrieval latitude:%@, longitude:%@",
            QString::number(latitude, 'g', 10), QString::number(longitude, 'g', 10));
        const ReverseGeocodeResult result = m_geocoder->reverseGeocode(latitude, longitude, isAborted);
        if (result.kind == ReverseGeocodeResult::Kind::aborted)
            throw TransformError::aborted();
        if (result.kind == ReverseGeocodeResult::Kind::found)
            return Placemark::toAddress(result.placemark);
        const GPSError error(result.errorCode);
        Log::error(Log::Category::process,
            "GPS reverse geocode location failed: '%{public}s', error details: '%{public}s', retry: %{public}s",
            result.errorDescription, error.messageText, error.retry ? "true" : "false");
        if (!error.retry || retries >= MAXIMUM_RETRIES) {
            Log::debug(Log::Category::process, "Giving up!");
            throw error;
        }
        AppSleep(isAborted, m_second).sleepWithProgressIndication(wait);
        if (isAborted())
            throw TransformError::aborted();
        wait -= WAIT_STEP;
    }
}
