// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttribute+add.h"

#include "core/String+utilities.h"
#include "core/Dictionary+caseInsensitive.h"
#include "tokens/LocaleFormat.h"

#include <QStringList>
#include <QUrl>

#include <cmath>
#include <limits>

namespace FileAttributeValues {

namespace {
std::optional<QStringList> textsOf(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList();
    if (value.metaType().id() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList texts;
    for (const QVariant& element : value.toList()) {
        if (element.metaType().id() != QMetaType::QString)
            return std::nullopt;
        texts << element.toString();
    }
    return texts;
}

AttributeValue numberValue(const QVariant& value, const QString& label)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return AttributeValue::number(QVariant(qint64(value.toLongLong())));
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 number = value.toULongLong();
        if (number <= quint64(std::numeric_limits<qint64>::max()))
            return AttributeValue::number(QVariant(qint64(number)));
        return AttributeValue::number(QVariant(quint64(number)));
    }
    default: {
        const double d = value.toDouble();
        // A double holding a whole number is that integer.
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)
            return AttributeValue::number(QVariant(qint64(d)));
        if (label == QLatin1String("Latitude") || label == QLatin1String("Longitude"))
            return AttributeValue::number(QVariant(std::round(d * 10000.0) / 10000.0));
        return AttributeValue::number(QVariant(d));
    }
    }
}

bool isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}
} // namespace

FileAttribute make(const QString& id, const QString& label, const QVariant& value)
{
    FileAttribute attribute { id, label, AttributeValue() };
    if (value.metaType().id() == QMetaType::QString)
        attribute.attributeValue = AttributeValue::string(value.toString());
    else if (const auto texts = textsOf(value))
        attribute.attributeValue = AttributeValue::string(String::fileAndFolderSafeName(texts->join(QLatin1Char(','))));
    else if (isNumber(value))
        attribute.attributeValue = numberValue(value, label);
    else if (value.metaType().id() == QMetaType::QDateTime)
        attribute.attributeValue = AttributeValue::date(value.toDateTime());
    else if (value.metaType().id() == QMetaType::QByteArray)
        attribute.attributeValue = AttributeValue::string(QStringLiteral("%1 bytes").arg(value.toByteArray().size()));
    else if (value.metaType().id() == QMetaType::QUrl)
        attribute.attributeValue = AttributeValue::string(value.toUrl().toString(QUrl::FullyEncoded));
    else
        attribute.attributeValue = AttributeValue::string(value.toString());
    return attribute;
}

QString description(const AttributeValue& value)
{
    switch (value.kind()) {
    case AttributeValue::Case::string:
        return *value.stringValue();
    case AttributeValue::Case::number:
        return LocaleFormat::description(*value.numberValue());
    case AttributeValue::Case::date:
        return value.dateValue()->toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" +0000");
    }
    return {};
}

std::optional<qint64> intValue(const AttributeValue& value)
{
    const auto number = value.numberValue();
    if (!number)
        return std::nullopt;
    if (number->metaType().id() == QMetaType::Double) {
        const double d = number->toDouble();
        if (!std::isfinite(d))
            return 0;
        return qint64(std::trunc(std::clamp(d, -9.2e18, 9.2e18)));
    }
    return qint64(number->toLongLong());
}

std::optional<double> doubleValue(const AttributeValue& value)
{
    const auto number = value.numberValue();
    if (!number)
        return std::nullopt;
    return LocaleFormat::doubleValue(*number);
}

} // namespace FileAttributeValues

namespace AttributeDictionary {

std::optional<FileAttribute> value(const FileAttributeDictionary& attributes, const QString& id)
{
    return Dictionary::value(attributes, id);
}

bool contains(const FileAttributeDictionary& attributes, const QString& id)
{
    return Dictionary::contains(attributes, id);
}

namespace {
void store(FileAttributeDictionary& attributes, const FileAttribute& attribute)
{
    Dictionary::setValue(attributes, attribute.id, std::optional<FileAttribute>(attribute));
}

// Whether every comma-separated piece of `text` is already a piece of `current`.
// Pieces, not substrings: "Rock" is new beside "Progressive Rock".
bool alreadyHolds(const QString& current, const QString& text)
{
    const QStringList pieces = current.split(QLatin1Char(','));
    for (const QString& piece : text.split(QLatin1Char(','))) {
        if (!pieces.contains(piece))
            return false;
    }
    return true;
}
} // namespace

void add(FileAttributeDictionary& attributes, const QString& id, const QString& label, const QVariant& value)
{
    const std::optional<FileAttribute> existing = AttributeDictionary::value(attributes, id);
    const int type = value.metaType().id();
    if (type == QMetaType::QStringList || type == QMetaType::QVariantList) {
        if (existing)
            return;
        const QVariantList elements = value.toList();
        if (elements.isEmpty())
            return;
        QStringList texts;
        for (const QVariant& element : elements) {
            texts << (LocaleFormat::doubleValue(element) ? LocaleFormat::description(element) : element.toString());
        }
        store(attributes, FileAttributeValues::make(id, label, texts.join(QStringLiteral(", "))));
        return;
    }
    if (type == QMetaType::QString) {
        const QString text = value.toString();
        if (existing && existing->attributeValue.stringValue()) {
            const QString current = *existing->attributeValue.stringValue();
            if (id.startsWith(QLatin1String("media-")) || alreadyHolds(current, text))
                return;
            store(attributes, FileAttributeValues::make(id, label, current + QLatin1Char(',') + text));
            return;
        }
        store(attributes, FileAttributeValues::make(id, label, text));
        return;
    }
    if (existing)
        return;
    store(attributes, FileAttributeValues::make(id, label, value));
}

void add(FileAttributeDictionary& attributes, const QString& id, const QVariant& value)
{
    if (value.isValid())
        add(attributes, id, id, value);
}

void set(FileAttributeDictionary& attributes, const QString& id, const QVariant& value)
{
    if (value.isValid())
        attributes.insert(id, FileAttributeValues::make(id, id, value));
}

void add(FileAttributeDictionary& attributes, Basic basic, const QVariant& value)
{
    if (value.isValid())
        store(attributes, FileAttributeValues::make(Basics::rawValue(basic), value));
}

void add(FileAttributeDictionary& attributes, const QVariantMap& dictionary, const QString& key,
    const std::optional<QString>& subKey)
{
    if (!subKey) {
        if (dictionary.contains(key))
            add(attributes, key, key, dictionary.value(key));
        return;
    }
    const QVariant inner = dictionary.value(key);
    if (inner.metaType().id() != QMetaType::QVariantMap)
        return;
    const QVariantMap innerMap = inner.toMap();
    if (innerMap.contains(*subKey))
        add(attributes, key + QLatin1Char('.') + *subKey, *subKey, innerMap.value(*subKey));
}

} // namespace AttributeDictionary
