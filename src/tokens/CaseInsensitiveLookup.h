#pragma once

#include "core/CanonicalText.h"

#include <QMap>
#include <QString>

#include <optional>

// Lookups in dictionaries with text keys that ignore letter case: the first key,
// in the dictionary's order, equal to the text when case is ignored.
namespace CaseInsensitiveLookup {

template <typename Value>
typename QMap<QString, Value>::const_iterator find(const QMap<QString, Value>& map, const QString& key)
{
    // An exact hit is the common case; with keys unique up to case it is also
    // the first case-insensitive match.
    auto exact = map.constFind(key);
    if (exact != map.cend()) {
        for (auto it = map.cbegin(); it != exact; ++it) {
            if (CanonicalText::equalCaseInsensitive(it.key(), key))
                return it;
        }
        return exact;
    }
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (CanonicalText::equalCaseInsensitive(it.key(), key))
            return it;
    }
    return map.cend();
}

template <typename Value>
std::optional<Value> value(const QMap<QString, Value>& map, const QString& key)
{
    const auto it = find(map, key);
    if (it == map.cend())
        return std::nullopt;
    return it.value();
}

template <typename Value>
bool contains(const QMap<QString, Value>& map, const QString& key)
{
    return find(map, key) != map.cend();
}

// Stores under the matching key (keeping its letter case) or under `key`;
// an absent value removes the matching key.
template <typename Value>
void set(QMap<QString, Value>& map, const QString& key, const std::optional<Value>& value)
{
    const auto it = find(std::as_const(map), key);
    const QString storedKey = it == map.cend() ? key : it.key();
    if (value)
        map.insert(storedKey, *value);
    else if (it != map.cend())
        map.remove(storedKey);
}

} // namespace CaseInsensitiveLookup
