// SPDX-License-Identifier: GPL-3.0-or-later
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
// again while the service is only temporarily unavailable. A position whose
// lookup failed, or any position once the service cannot be reached at all,
// gets empty texts until the next rename run, and the rest goes on.
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
    std::optional<QString> missingAddressReason(const FileAttributes& attributes) override;
    std::optional<GPSError> takeUnreportedFailure() override;
    bool foundAddressesOnline() override;

    // The user's abort: ends a wait or a request at once.
    void abortProcessEvent();

private:
    QString lookupAddressFromInternet(double latitude, double longitude, const TokenItem& item);
    // None when the lookups were switched off meanwhile. Throws GPSError.
    std::optional<GPSAddress> findAddress(double latitude, double longitude);
    // The error code of the position's failed lookup in this run.
    std::optional<int> failureAt(double latitude, double longitude);
    void recordFailure(const QString& positionKey, const GPSError& error);

    GPSCache& m_cache;
    std::shared_ptr<ReverseGeocoder> m_geocoder;
    std::chrono::milliseconds m_second;
    std::shared_ptr<std::atomic<bool>> m_processAborted;
    // Error codes of the positions that failed since the last rename run began,
    // so every file there does not ask again.
    std::mutex m_failuresMutex;
    QHash<QString, int> m_failures;
    bool m_unreachable = false;  // no connection to the service in this run
    bool m_failureTold = false;  // the first failure of the run was handed out
    bool m_foundOnline = false;  // an address came from the geocoder in this run
    std::optional<GPSError> m_unreportedFailure;
};
