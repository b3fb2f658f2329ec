// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/CanonicalText.h"

#include <QString>

#include <optional>

// Text-keyed maps read and written without regard to case. When several keys
// match, the first in the map's own order wins, also over the key as given; a
// write keeps the stored key's spelling.
namespace Dictionary {

template <typename Map>
auto findCaseInsensitive(Map& map, const QString& key)
{
    // Found as given, the key still loses to a matching key before it: only
    // those need the slow comparison.
    const auto exact = map.find(key);
    for (auto it = map.begin(); it != exact; ++it) {
        if (CanonicalText::equalCaseInsensitive(it.key(), key))
            return it;
    }
    return exact;
}

template <typename Map>
std::optional<typename Map::mapped_type> value(const Map& map, const QString& caseInsensitiveKey)
{
    const auto it = findCaseInsensitive(map, caseInsensitiveKey);
    if (it == map.end())
        return std::nullopt;
    return it.value();
}

template <typename Map>
bool contains(const Map& map, const QString& caseInsensitiveKey)
{
    return findCaseInsensitive(map, caseInsensitiveKey) != map.end();
}

// Writing none removes the matching key.
template <typename Map>
void setValue(Map& map, const QString& caseInsensitiveKey, const std::optional<typename Map::mapped_type>& newValue)
{
    const auto it = findCaseInsensitive(map, caseInsensitiveKey);
    if (it == map.end()) {
        if (newValue)
            map.insert(caseInsensitiveKey, *newValue);
        return;
    }
    if (newValue)
        it.value() = *newValue;
    else
        map.erase(it);
}

} // namespace Dictionary
