// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttributeUtil.h"

#include "core/Date.h"
#include "core/Dictionary+caseInsensitive.h"
#include "core/Int+format.h"
#include "core/Number+format.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/ImageProperties.h"
#include "tokens/TokenDetailsList.h"

#include <QLocale>

#include <cmath>

namespace FileAttributeUtil {

namespace {

void store(FileAttributeDictionary& attributes, const QString& id, const QString& label, const QVariant& value)
{
    Dictionary::setValue(attributes, id, std::optional<FileAttribute>(FileAttributeValues::make(id, label, value)));
}

// Keeps the stored id and label, replaces the value.
void replaceValue(FileAttributeDictionary& attributes, const FileAttribute& attribute, AttributeValue value)
{
    FileAttribute replaced = attribute;
    replaced.attributeValue = std::move(value);
    Dictionary::setValue(attributes, attribute.id, std::optional<FileAttribute>(replaced));
}

void addCatalogValues(const QList<TokenDetailsRef>& details, const QVariantMap& properties,
    FileAttributeDictionary& attributes)
{
    for (const TokenDetailsRef& entry : details)
        AttributeDictionary::add(attributes, properties, entry->key(), entry->subKey());
}

// "{Exif}.DateTimeOriginal" looks into the "{Exif}" dictionary; a text without
// exactly one dot is a top-level key.
std::optional<QString> subKeyedText(const QVariantMap& properties, const QString& key)
{
    const QStringList pieces = key.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QVariant value = pieces.size() == 2 ? properties.value(pieces[0]).toMap().value(pieces[1]) : properties.value(key);
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

// An EXIF date with its offset and fraction of a second. A blank offset (some
// cameras pad the tag with spaces) counts as none, so the date is read in the
// current time zone instead of being lost.
std::optional<QDateTime> exifDate(const QVariantMap& properties, const QString& dateKey, const QString& offsetKey,
    const QString& subsecKey)
{
    std::optional<QString> offset = subKeyedText(properties, offsetKey);
    if (offset && offset->trimmed().isEmpty())
        offset = std::nullopt;
    else if (offset)
        offset = offset->trimmed();
    std::optional<QDateTime> date = Date::fromExifDateTime(subKeyedText(properties, dateKey), offset);
    const std::optional<QString> subsec = subKeyedText(properties, subsecKey);
    if (date && subsec) {
        bool ok = false;
        const double fraction = QLocale::c().toDouble(QStringLiteral("0.") + *subsec, &ok);
        if (ok && std::isfinite(fraction))
            date = date->addMSecs(qint64(std::llround(fraction * 1000.0)));
    }
    return date;
}

void replaceDate(FileAttributeDictionary& attributes, const QString& id, const std::optional<QDateTime>& date)
{
    if (!date)
        return;
    if (const auto attribute = AttributeDictionary::value(attributes, id))
        replaceValue(attributes, *attribute, AttributeValue::date(*date));
}

std::optional<QVariant> numberOf(const FileAttributeDictionary& attributes, const QString& id)
{
    const auto attribute = AttributeDictionary::value(attributes, id);
    if (!attribute)
        return std::nullopt;
    return attribute->attributeValue.numberValue();
}

} // namespace

const QSet<QString>& supportedContentTypes()
{
    return ImageProperties::supportedContentTypes();
}

bool isSupportedImage(const std::optional<QString>& contentType)
{
    return contentType && !contentType->isEmpty() && supportedContentTypes().contains(*contentType);
}

void imageAttributes(const QUrl& url, FileAttributeDictionary& attributes)
{
    const auto contentType = attributes.contains(Basics::rawValue(Basic::contentType))
        ? attributes.value(Basics::rawValue(Basic::contentType)).attributeValue.stringValue()
        : std::nullopt;
    if (!isSupportedImage(contentType))
        return;
    const std::optional<QVariantMap> properties = ImageProperties::read(url.toLocalFile());
    if (!properties)
        return;
    imageAttributes(*properties, attributes);
}

void imageAttributes(const QVariantMap& properties, FileAttributeDictionary& attributes)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    addCatalogValues(catalog.exifTokenDetails, properties, attributes);

    if (const auto width = numberOf(attributes, QStringLiteral("PixelWidth")))
        AttributeDictionary::add(attributes, MediaAttribute::mediaWidth, *width);
    if (const auto height = numberOf(attributes, QStringLiteral("PixelHeight")))
        AttributeDictionary::add(attributes, MediaAttribute::mediaHeight, *height);

    if (const auto exposure = AttributeDictionary::value(attributes, Exif::exposureTime)) {
        if (const auto seconds = FileAttributeValues::doubleValue(exposure->attributeValue))
            replaceValue(attributes, *exposure, AttributeValue::string(Double::formattedTimespan(*seconds, 1)));
    }

    if (const auto flash = AttributeDictionary::value(attributes, Exif::flash)) {
        if (const auto n = FileAttributeValues::intValue(flash->attributeValue)) {
            store(attributes, Exif::flashDescription, QStringLiteral("FlashDescription"), Int::flashDescription(*n));
            store(attributes, Exif::flashFired, QStringLiteral("FlashFired"),
                (*n & 1) ? QStringLiteral("Flash") : QStringLiteral("No flash"));
        }
    }

    if (const auto ratings = AttributeDictionary::value(attributes, Exif::isoSpeedRatings)) {
        if (const auto text = ratings->attributeValue.stringValue()) {
            const QStringList pieces = text->split(QLatin1Char(','), Qt::SkipEmptyParts);
            if (!pieces.isEmpty()) {
                if (const auto iso = Int::fromOptional(pieces.first()))
                    store(attributes, Exif::isoSpeed, QStringLiteral("ISOSpeed"), *iso);
            }
        }
    }

    const auto digitized = exifDate(properties, Exif::dateTimeDigitized, Exif::offsetTimeDigitized, Exif::subsecTimeDigitized);
    replaceDate(attributes, Exif::dateTimeDigitized, digitized);
    const auto original = exifDate(properties, Exif::dateTimeOriginal, Exif::offsetTimeOriginal, Exif::subsecTimeOriginal);
    replaceDate(attributes, Exif::dateTimeOriginal, original);
    if (const auto mediaDate = digitized ? digitized : original)
        store(attributes, MediaAttribute::mediaDate, MediaAttribute::mediaDate, *mediaDate);

    if (const auto imageNumber = numberOf(attributes, Exif::imageNumber))
        store(attributes, MediaAttribute::mediaSequence, MediaAttribute::mediaSequence, *imageNumber);

    addCatalogValues(catalog.gpsTokenDetails, properties, attributes);
}

} // namespace FileAttributeUtil
