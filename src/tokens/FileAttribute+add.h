// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"
#include "tokens/AttributeIds.h"

#include <QVariant>
#include <QVariantMap>

#include <optional>

// How raw values from the readers become attributes, and the add and set rules
// of an attribute dictionary. Values arrive as variants: texts, lists, integers,
// doubles, dates; anything else is kept as its text.
namespace FileAttributeValues {

// The value rules: lists of texts joined and cleaned for names, whole numbers
// kept exact, coordinates labelled "Latitude" or "Longitude" rounded to 4 decimals.
FileAttribute make(const QString& id, const QString& label, const QVariant& value);
inline FileAttribute make(const QString& id, const QVariant& value) { return make(id, id, value); }

// "3", "0.004", or a date as "yyyy-MM-dd HH:mm:ss +0000".
QString description(const AttributeValue& value);
std::optional<qint64> intValue(const AttributeValue& value);
std::optional<double> doubleValue(const AttributeValue& value);

} // namespace FileAttributeValues

namespace AttributeDictionary {

// The attribute whose id equals `id` when letter case is ignored.
std::optional<FileAttribute> value(const FileAttributeDictionary& attributes, const QString& id);
bool contains(const FileAttributeDictionary& attributes, const QString& id);

// Merges: texts accumulate without repeating a value already held (media texts keep
// the first); numbers, dates and lists keep the first value found.
void add(FileAttributeDictionary& attributes, const QString& id, const QString& label, const QVariant& value);
// Nothing for an absent (invalid) value.
void add(FileAttributeDictionary& attributes, const QString& id, const QVariant& value);
// Replaces whatever is stored under exactly `id`.
void set(FileAttributeDictionary& attributes, const QString& id, const QVariant& value);
// Replaces the attribute of that id, whatever the letter case of its key.
void add(FileAttributeDictionary& attributes, Basic basic, const QVariant& value);
// `dictionary[key]`, or `dictionary[key][subKey]` stored as "key.subKey" labelled `subKey`.
void add(FileAttributeDictionary& attributes, const QVariantMap& dictionary, const QString& key,
    const std::optional<QString>& subKey = std::nullopt);

} // namespace AttributeDictionary
