// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/AttributeResolver.h"

#include "core/Number+format.h"
#include "core/Preference.h"
#include "core/String+utilities.h"
#include "core/Dictionary+caseInsensitive.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/GPSFormatUtil.h"
#include "tokens/GPSPrecision.h"
#include "tokens/LocaleFormat.h"
#include "tokens/NominatimGeocoder.h"
#include "tokens/TransformError.h"

#include <QDateTime>

#include <mutex>

namespace AttributeResolver {

namespace {
std::mutex resolverMutex;
std::shared_ptr<GPSAddressLookup> sharedResolver;

QString formattedDate(const TokenItem& item, const QDateTime& date)
{
    return String::fileAndFolderSafeName(LocaleFormat::formatDate(date, item.dateFormat, item.timeZone));
}

QString resolveNumericAttribute(const TokenItem& item, const FileAttributes& attributes, const QVariant& number)
{
    const bool longitude = item.value == QLatin1String("{GPS}.Longitude");
    if (longitude || item.value == QLatin1String("{GPS}.Latitude")) {
        const auto refAttribute = AttributeDictionary::value(attributes.attributes,
            longitude ? QStringLiteral("{GPS}.LongitudeRef") : QStringLiteral("{GPS}.LatitudeRef"));
        const std::optional<QString> ref = refAttribute ? refAttribute->attributeValue.stringValue() : std::nullopt;
        return item.gpsFormat != 0 ? GPSFormatUtil::formatGPSDecimal(number, ref)
                                   : GPSFormatUtil::formatGPSCoordinate(number, ref);
    }
    if (item.isDecimalAttribute())
        return Number::format(LocaleFormat::doubleValue(number).value_or(qQNaN()), item.numberDigits).value_or(QString());
    if (item.isNumberAttribute())
        return LocaleFormat::formatInteger(number, item.numberDigits).value_or(QString());
    return LocaleFormat::description(number);
}

QString resolveFileAttributes(const TokenItem& item, const FileAttribute& fileAttribute, const FileAttributes& attributes)
{
    const AttributeValue& value = fileAttribute.attributeValue;
    if (const auto number = value.numberValue())
        return resolveNumericAttribute(item, attributes, *number);
    if (const auto date = value.dateValue())
        return formattedDate(item, *date);
    const QString text = value.stringValue().value_or(QString());
    if (!item.isNumberAttribute())
        return String::fileAndFolderSafeName(text);
    // Numbers held as text, such as a track "3/12".
    QStringList parts;
    for (const QString& piece : text.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        parts << resolveNumericAttribute(item, attributes, QVariant(quint64(String::numeric(piece))));
    return parts.join(QLatin1Char(':'));
}

QString prefixedAndSuffixedValue(const TokenItem& item, const QString& value)
{
    if (value.isEmpty())
        return QString();
    // Plain text items have neither: the value itself, uncopied.
    if (item.prefix.isEmpty() && item.suffix.isEmpty())
        return value;
    return item.prefix + value + item.suffix;
}

// The row says why a token put nothing into the name, once a reason.
void addResolutionWarning(File& file, const QString& warning)
{
    QStringList& warnings = file.transformed.resolutionWarnings;
    if (!warnings.contains(warning))
        warnings << warning;
}

QString noValueWarning(const TokenItem& item)
{
    return QStringLiteral("No %1: the file has no such value").arg(item.value);
}

// An empty address with a position and no failure is on its way: no warning yet.
QString resolvedGPSAddress(const TokenItem& item, const FileAttributes& attributes, File& file, const GPSLookupSources& source)
{
    const std::shared_ptr<GPSAddressLookup> resolver = gpsAddressResolver();
    QString value = resolver->resolveGPSAddressAttribute(item, attributes, source);
    if (value.isEmpty()) {
        if (const auto reason = resolver->missingAddressReason(attributes))
            addResolutionWarning(file, *reason);
        else if (!GPSAddresses::position(attributes))
            addResolutionWarning(file, noValueWarning(item));
    }
    return value;
}

// Made once: every item of every file names one of them.
const GPSLookupSources cacheOnly { GPSLookupSource::cache };
const GPSLookupSources cacheAndInternet { GPSLookupSource::cache, GPSLookupSource::internet };

QString resolvedAttributesForItem(const TokenItem& item, File& file, const GPSLookupSources& source)
{
    if (item.type != TokenType::ATTRIBUTE)
        return prefixedAndSuffixedValue(item, item.value);
    const FileAttributes attributes = file.fileAttributes();
    const QString& key = item.value;
    QString value;
    bool isAddress = false;
    if (const auto attribute = AttributeDictionary::value(attributes.attributes, key))
        value = resolveFileAttributes(item, *attribute, attributes);
    else if (key == QLatin1String("original-filename"))
        value = file.source.fileInfo.name;
    else if (key.startsWith(QLatin1String("parent-directory")))
        value = file.source.parentPathAt(item.parentDirectoryIndex());
    else if ((isAddress = Dictionary::contains(GPSLocationKeys(), key)))
        value = resolvedGPSAddress(item, attributes, file, source);
    else if (key == QLatin1String("date-now"))
        value = formattedDate(item, QDateTime::currentDateTimeUtc());
    // Whatever a file or a server holds: no line break or direction override
    // reaches a new name, from any attribute.
    QString resolved = prefixedAndSuffixedValue(item, String::withoutControlCharacters(value));
    // A photo without a date must not pass as renamed by its date.
    if (resolved.isEmpty() && !isAddress)
        addResolutionWarning(file, noValueWarning(item));
    return resolved;
}
} // namespace

QString resolvedAttributes(const TokenString& tokenString, File& file)
{
    QString text;
    for (const TokenItem& item : tokenString.items())
        text += resolvedAttributesForItem(item, file, cacheAndInternet);
    return text;
}

QString resolvedAttributesQuick(const TokenString& tokenString, File& file)
{
    QString text;
    for (const TokenItem& item : tokenString.items()) {
        if (item.type == TokenType::ATTRIBUTE && !file.attributesInitialized())
            throw TransformError::lateUpdateRequired();
        text += resolvedAttributesForItem(item, file, cacheOnly);
    }
    return text;
}

std::shared_ptr<GPSAddressLookup> gpsAddressResolver()
{
    std::lock_guard lock(resolverMutex);
    if (!sharedResolver)
        sharedResolver = std::make_shared<GPSAddressResolver>(GPSCache::shared(), std::make_shared<NominatimGeocoder>());
    return sharedResolver;
}

void setGPSAddressResolver(std::shared_ptr<GPSAddressLookup> resolver)
{
    std::lock_guard lock(resolverMutex);
    sharedResolver = std::move(resolver);
}

} // namespace AttributeResolver
