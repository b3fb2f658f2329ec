// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Preference.h"

#include "core/AppNotification.h"
#include "platform/DefaultsStore.h"
#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>

const PreferenceKey PreferenceKey::versionCheckOnStartup { QStringLiteral("versionCheckOnStartup") };
const PreferenceKey PreferenceKey::openMostRecentRecipeOnStartup { QStringLiteral("openMostRecentRecipeOnStartup") };
const PreferenceKey PreferenceKey::gpsAddressLookup { QStringLiteral("gpsAddressLookup") };
const PreferenceKey PreferenceKey::renameAliases { QStringLiteral("renameAliases") };
const PreferenceKey PreferenceKey::renameHiddenFiles { QStringLiteral("renameHiddenFiles") };
const PreferenceKey PreferenceKey::autoResolveDuplicates { QStringLiteral("autoResolveDuplicates") };
const PreferenceKey PreferenceKey::renameEmptyFolders { QStringLiteral("renameEmptyFolders") };
const PreferenceKey PreferenceKey::autoIgnoreFilePermissionErrors { QStringLiteral("autoIgnoreFilePermissionErrors") };
const PreferenceKey PreferenceKey::gpsCache { QStringLiteral("gpsCache") };
const PreferenceKey PreferenceKey::reverseGeocodingServer { QStringLiteral("reverseGeocodingServer") };
const PreferenceKey PreferenceKey::customDirectories { QStringLiteral("customDirectories") };
const PreferenceKey PreferenceKey::recentRecipes { QStringLiteral("recentRecipes") };
const PreferenceKey PreferenceKey::wildcardDefault { QStringLiteral("wildcardDefault") };
const PreferenceKey PreferenceKey::simpleCaseInsensitiveDefault { QStringLiteral("simpleCaseInsensitiveDefault") };
const PreferenceKey PreferenceKey::regexCaseInsensitiveDefault { QStringLiteral("regexCaseInsensitiveDefault") };

namespace Preference {

namespace {
std::atomic<DefaultsStore*> replacement { nullptr };

void announce(const char* line)
{
    MainThread::post([line] {
        Log::debug(Log::Category::general, line);
        AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, QStringLiteral("set(_:for:)"));
    });
}
} // namespace

DefaultsStore& store()
{
    DefaultsStore* s = replacement.load();
    return s ? *s : DefaultsStore::standard();
}

void setStore(DefaultsStore* s)
{
    replacement.store(s);
}

bool boolFor(const PreferenceKey& key)
{
    const QJsonValue value = store().value(key.rawValue);
    return value.isBool() && value.toBool();
}

QString stringFor(const PreferenceKey& key)
{
    const QJsonValue value = store().value(key.rawValue);
    return value.isString() ? value.toString() : QString();
}

QStringList stringArrayFor(const PreferenceKey& key)
{
    const QJsonValue value = store().value(key.rawValue);
    if (!value.isArray())
        return {};
    QStringList list;
    for (const QJsonValue& element : value.toArray()) {
        if (!element.isString())
            return {};
        list << element.toString();
    }
    return list;
}

void set(bool value, const PreferenceKey& key)
{
    store().setValue(key.rawValue, value);
    announce("Post applyChanges from Preference set (Bool)");
}

void set(const QString& value, const PreferenceKey& key)
{
    store().setValue(key.rawValue, value);
    announce("Post applyChanges from Preference set (String)");
}

void set(const QStringList& value, const PreferenceKey& key)
{
    store().setValue(key.rawValue, QJsonArray::fromStringList(value));
    announce("Post applyChanges from Preference set [String]");
}

void initDefaults()
{
    QJsonObject defaults;
    defaults.insert(PreferenceKey::versionCheckOnStartup.rawValue, true);
    defaults.insert(PreferenceKey::customDirectories.rawValue, QJsonArray());
    defaults.insert(PreferenceKey::gpsAddressLookup.rawValue, true);
    defaults.insert(PreferenceKey::reverseGeocodingServer.rawValue, QStringLiteral("https://nominatim.openstreetmap.org"));
    defaults.insert(PreferenceKey::autoResolveDuplicates.rawValue, true);
    defaults.insert(PreferenceKey::renameEmptyFolders.rawValue, true);
    store().registerDefaults(defaults);
}

GPSAddressMap getGpsCache()
{
    const QString text = stringFor(PreferenceKey::gpsCache);
    if (!text.isEmpty()) {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
        QString error = parseError.error == QJsonParseError::NoError ? QString() : parseError.errorString();
        GPSAddressMap cache;
        if (error.isEmpty() && !document.isObject())
            error = QStringLiteral("not a JSON object");
        if (error.isEmpty()) {
            QJsonObject entries = document.object();
            // The entries wrapped in a "cache" member, as they are written (other
            // members beside it are left alone), or the entries themselves.
            if (entries.value(QStringLiteral("cache")).isObject())
                entries = entries.value(QStringLiteral("cache")).toObject();
            for (auto it = entries.begin(); it != entries.end() && error.isEmpty(); ++it) {
                const auto address = it.value().isObject() ? GPSAddress::fromJson(it.value().toObject()) : std::nullopt;
                if (!address)
                    error = QStringLiteral("entry \"%1\" is not a complete address").arg(it.key());
                else
                    cache.insert(it.key(), *address);
            }
        }
        if (error.isEmpty()) {
            Log::debug(Log::Category::general, "Reading GPS Cache with %ld entries from Preferences.", cache.size());
            return cache;
        }
        Log::error(Log::Category::general, "Unabled to decode GPSCache from JSON: %{public}s, error: %{public}@", text, error);
    }
    Log::debug(Log::Category::general, "No GPS Cache found in Preferences.");
    return {};
}

void setGpsCache(const GPSAddressMap& cache)
{
    Log::debug(Log::Category::general, "Writing GPS Cache with %ld entries to Preferences.", cache.size());
    QJsonObject entries;
    for (auto it = cache.cbegin(); it != cache.cend(); ++it)
        entries.insert(it.key(), it.value().toJson());
    const QJsonObject stored { { QStringLiteral("cache"), entries } };
    store().setValue(PreferenceKey::gpsCache.rawValue,
        QString::fromUtf8(QJsonDocument(stored).toJson(QJsonDocument::Compact)));
}

} // namespace Preference
