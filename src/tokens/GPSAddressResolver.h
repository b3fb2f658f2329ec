#pragma once

#include "tokens/GPSAddressLookup.h"

#include <QHash>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

class GPSCache;
class ReverseGeocoder;

// Gives GPS address tokens their text: from the address cache when it can,
// otherwise, in a rename run, from the reverse geocoder, waiting and asking
// again while the service is only temporarily unavailable.
class GPSAddressResolver : public GPSAddressLookup {
public:
    // Seconds waited before the first, second and third retry.
    static constexpr int FIRST_WAIT = 60;
    static constexpr int WAIT_STEP = 20;
    static constexpr int MAXIMUM_RETRIES = 3;

    // Without a geocoder only the cache answers. `second` is how long a
    // counted second of the retry waits lasts (tests shorten it).
    GPSAddressResolver(GPSCache& cache, std::shared_ptr<ReverseGeocoder> geocoder,
        std::chrono::milliseconds second = std::chrono::seconds(1));

    QString resolveGPSAddressAttribute(const TokenItem& item, const FileAttributes& attributes,
        const GPSLookupSources& source) override;
    void forgetFailures() override;

    // The user's abort: ends a wait or a request at once.
    void abortProcessEvent();

private:
    QString lookupAddressFromInternet(double latitude, double longitude, const TokenItem& item);
    GPSAddress findAddress(double latitude, double longitude);

    GPSCache& m_cache;
    std::shared_ptr<ReverseGeocoder> m_geocoder;
    std::chrono::milliseconds m_second;
    std::shared_ptr<std::atomic<bool>> m_processAborted;
    // Error codes of the positions that failed since the last rename run began,
    // so every file there does not ask again.
    std::mutex m_failuresMutex;
    QHash<QString, int> m_failures;
};
