// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSCache.h"

#include "core/Preference.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "tokens/GPSCoordinate.h"

#include <QTimer>

#include <atomic>

namespace {
// New addresses are written at most this often.
constexpr int SAVE_DELAY_MS = 2000;
std::atomic<bool> saveScheduled { false };
} // namespace

GPSCache::GPSCache(const GPSAddressMap& cache, qsizetype maximumEntries)
    : m_maximumEntries(std::max<qsizetype>(maximumEntries, 1))
{
    for (auto it = cache.cbegin(); it != cache.cend(); ++it)
        insert(it.key(), it.value());
}

GPSCache& GPSCache::shared()
{
    static GPSCache* instance = [] {
        auto* cache = new GPSCache(Preference::getGpsCache());
        cache->m_persistent = true;
        return cache;
    }();
    return *instance;
}

QString GPSCache::key(double latitude, double longitude, GPSPrecision precision)
{
    return GPSCoordinate { GPSPrecisions::rounded(precision, latitude), GPSPrecisions::rounded(precision, longitude) }.key();
}

std::optional<GPSAddress> GPSCache::get(double latitude, double longitude, GPSPrecision precision) const
{
    const QString wanted = key(latitude, longitude, precision);
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.constFind(wanted);
    if (found == m_entries.cend())
        return std::nullopt;
    return found->address;
}

void GPSCache::put(double latitude, double longitude, const GPSAddress& address)
{
    {
        std::lock_guard lock(m_mutex);
        for (GPSPrecision precision : GPSPrecisions::allCases())
            insert(key(latitude, longitude, precision), address);
    }
    scheduleSave();
}

void GPSCache::insert(const QString& key, const GPSAddress& address)
{
    const auto existing = m_entries.find(key);
    if (existing != m_entries.end())
        m_keysByAge.erase(existing->serial);
    const quint64 serial = m_nextSerial++;
    m_entries.insert(key, Entry { address, serial });
    m_keysByAge.emplace(serial, key);
    while (m_entries.size() > m_maximumEntries) {
        const auto oldest = m_keysByAge.begin();
        m_entries.remove(oldest->second);
        m_keysByAge.erase(oldest);
    }
}

void GPSCache::clear()
{
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
        m_keysByAge.clear();
    }
    scheduleSave();
}

qsizetype GPSCache::count() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

GPSAddressMap GPSCache::cache() const
{
    std::lock_guard lock(m_mutex);
    GPSAddressMap result;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        result.insert(it.key(), it->address);
    return result;
}

void GPSCache::savePending()
{
    if (saveScheduled.exchange(false))
        Preference::setGpsCache(shared().cache());
}

void GPSCache::scheduleSave()
{
    if (!m_persistent || saveScheduled.exchange(true))
        return;
    MainThread::post([] { QTimer::singleShot(SAVE_DELAY_MS, &GPSCache::savePending); });
}
