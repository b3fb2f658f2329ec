// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GPSAddress.h"
#include "tokens/GPSPrecision.h"

#include <QHash>

#include <map>
#include <mutex>
#include <optional>

// Every address found by reverse geocoding, keyed by the position rounded at
// each of the six precisions. One shared instance is kept in the preferences;
// it is bounded, the entries stored longest ago going first.
class GPSCache {
public:
    // Six keys an address: room for ten thousand addresses.
    static constexpr qsizetype MAXIMUM_ENTRIES = 60000;

    explicit GPSCache(const GPSAddressMap& cache = {}, qsizetype maximumEntries = MAXIMUM_ENTRIES);

    // Loaded from the preferences on first use; saved shortly after new
    // addresses arrive, so a crash loses at most the last seconds.
    static GPSCache& shared();

    // "10.12,-20.65": the position rounded to the precision's decimals.
    static QString key(double latitude, double longitude, GPSPrecision precision);

    std::optional<GPSAddress> get(double latitude, double longitude, GPSPrecision precision) const;
    // Stores the address under the position's key at every precision.
    void put(double latitude, double longitude, const GPSAddress& address);
    void clear();

    qsizetype count() const;
    GPSAddressMap cache() const;

    // Writes the shared cache now when a change is not saved yet (at exit).
    static void savePending();

private:
    void insert(const QString& key, const GPSAddress& address);
    void scheduleSave();

    mutable std::mutex m_mutex;
    qsizetype m_maximumEntries;
    bool m_persistent = false;
    quint64 m_nextSerial = 0;
    struct Entry {
        GPSAddress address;
        quint64 serial;
    };
    QHash<QString, Entry> m_entries;
    std::map<quint64, QString> m_keysByAge;
};
