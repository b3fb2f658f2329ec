// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QString>

// A settings key: the prefix followed by a short name.
struct PreferenceKey {
    static inline const QString PREFIX = QStringLiteral("com.quendrel.brackenfold.");

    // Building a key from another key's raw value doubles the prefix, as stored keys expect.
    explicit PreferenceKey(const QString& name)
        : rawValue(PREFIX + name)
    {
    }

    QString rawValue;

    bool operator==(const PreferenceKey&) const = default;

    static const PreferenceKey versionCheckOnStartup;
    static const PreferenceKey openMostRecentRecipeOnStartup;
    static const PreferenceKey gpsAddressLookup;
    static const PreferenceKey renameAliases;
    static const PreferenceKey renameHiddenFiles;
    static const PreferenceKey autoResolveDuplicates;
    static const PreferenceKey renameEmptyFolders;
    static const PreferenceKey autoIgnoreFilePermissionErrors;
    static const PreferenceKey gpsCache;
    static const PreferenceKey reverseGeocodingServer;
    static const PreferenceKey customDirectories;
    static const PreferenceKey recentRecipes;
    static const PreferenceKey wildcardDefault;
    static const PreferenceKey simpleCaseInsensitiveDefault;
    static const PreferenceKey regexCaseInsensitiveDefault;
};

inline size_t qHash(const PreferenceKey& key, size_t seed = 0)
{
    return qHash(key.rawValue, seed);
}
