// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GPSAddress.h"
#include "core/PreferenceKey.h"

#include <QStringList>

class DefaultsStore;

// Typed reads and writes of the settings. Reads are strict: a value of another
// type reads as false, "" or the empty list. Every `set` announces applyChanges
// (queued, so several writes in one pass give one delivery).
namespace Preference {

bool boolFor(const PreferenceKey& key);
QString stringFor(const PreferenceKey& key);
QStringList stringArrayFor(const PreferenceKey& key);

void set(bool value, const PreferenceKey& key);
void set(const QString& value, const PreferenceKey& key);
void set(const QStringList& value, const PreferenceKey& key);

// Registers the defaults that answer while nothing is stored.
void initDefaults();

// The GPS address cache; reading and writing it announce nothing.
GPSAddressMap getGpsCache();
void setGpsCache(const GPSAddressMap& cache);

// The store behind the reads and writes; the standard one unless replaced.
DefaultsStore& store();
void setStore(DefaultsStore* store);

} // namespace Preference
