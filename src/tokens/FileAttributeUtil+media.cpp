// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttributeUtil.h"

#include "core/Date.h"
#include "core/Number+format.h"
#include "core/TextOffsets.h"
#include "platform/Log.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/MediaAsset.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace FileAttributeUtil {

namespace {

const QString AV_MEDIA_CREATION_DATE = QStringLiteral("AV-media-creation-date");
const QString AV_RELEASE_DATE = QStringLiteral("AV-release-date");

// A full date and time with its zone; a bare year or month is not a date here.
std::optional<QDateTime> fullIso8601Date(const QString& text)
{
    switch (TextOffsets(text).characterCount()) {
    case 4:
    case 7:
    case 10:
        return std::nullopt;
    default:
        return Date::iso8601Date(text);
    }
}

TokenDetailsRef catalogEntry(const QList<TokenDetailsRef>& details, const QString& identifier)
{
    for (const TokenDetailsRef& entry : details) {
        if (entry->key() == identifier)
            return entry;
    }
    return nullptr;
}

QVariant variantOf(const AttributeValue& value)
{
    switch (value.kind()) {
    case AttributeValue::Case::string:
        return *value.stringValue();
    case AttributeValue::Case::number:
        return *value.numberValue();
    case AttributeValue::Case::date:
        return *value.dateValue();
    }
    return {};
}

std::optional<double> decimal(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void trackAttributes(const MediaTrack& track, FileAttributeDictionary& attributes)
{
    if (track.dataRate > 0)
        AttributeDictionary::add(attributes, MediaAttribute::mediaBitrate, qint64(std::llround(track.dataRate / 1000.0)));
    if (track.frameRate > 0)
        AttributeDictionary::add(attributes, MediaAttribute::mediaFramerate, qint64(std::llround(track.frameRate)));
    if (track.width > 0) {
        AttributeDictionary::add(attributes, QStringLiteral("AV-image-width"), track.width);
        AttributeDictionary::add(attributes, MediaAttribute::mediaWidth, track.width);
    }
    if (track.height > 0) {
        AttributeDictionary::add(attributes, QStringLiteral("AV-image-height"), track.height);
        AttributeDictionary::add(attributes, MediaAttribute::mediaHeight, track.height);
        if (track.width > 0) {
            AttributeDictionary::add(attributes, QStringLiteral("AV-image-size"),
                QStringLiteral("%1x%2").arg(qint64(track.width)).arg(qint64(track.height)));
        }
    }
}

} // namespace

bool ignoredId(const QString& identifier)
{
    static const QStringList IGNORED {
        "id3/APIC", "id3/PRIV", "id3/TENC", "id3/TSIZ", "id3/TSSE", "id3/TXXX",
        "itlk/com.apple.iTunes.iTunMOVI", "itlk/com.apple.iTunes.iTunNORM", "itlk/com.apple.iTunes.iTunSMPB",
        "itsk/cmID", "itsk/pgap", "itsk/purd", "itsk/sfID", "itsk/soal", "itsk/soar", "itsk/soco", "itsk/sonm",
        "itsk/stik", "itsk/xid%20", "vorb/ENCODER%20SETTINGS", "vorb/METADATA_BLOCK_PICTURE", "vorb/MINOR_VERSION",
    };
    return IGNORED.contains(identifier);
}

std::optional<QList<std::pair<QString, QVariant>>> toISO6709GPSComponents(const QString& text)
{
    // The altitude is optional in ISO 6709; a position without one is still a position.
    static const QRegularExpression PATTERN(QStringLiteral("([+-])([0-9.]+)([+-])([0-9.]+)([+-][0-9.]+)?/"));
    const QRegularExpressionMatch match = PATTERN.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto degrees = [&](int group) {
        const double value = decimal(match.captured(group)).value_or(0);
        return std::round(value * 100000.0) / 100000.0;
    };
    // Beyond 90 or 180 degrees the text is damaged, not a position.
    if (degrees(2) > 90.0 || degrees(4) > 180.0)
        return std::nullopt;
    QList<std::pair<QString, QVariant>> components {
        { QStringLiteral("{GPS}.LatitudeRef"), match.captured(1) == QLatin1String("+") ? QStringLiteral("N") : QStringLiteral("S") },
        { QStringLiteral("{GPS}.Latitude"), degrees(2) },
        { QStringLiteral("{GPS}.LongitudeRef"), match.captured(3) == QLatin1String("+") ? QStringLiteral("E") : QStringLiteral("W") },
        { QStringLiteral("{GPS}.Longitude"), degrees(4) },
    };
    if (match.hasCaptured(5))
        components.append({ QStringLiteral("{GPS}.Altitude"), decimal(match.captured(5)).value_or(0) });
    return components;
}

void avGPSAttributes(const QList<std::pair<QString, QVariant>>& components, FileAttributeDictionary& attributes)
{
    for (const auto& [id, value] : components)
        AttributeDictionary::add(attributes, id, id.mid(id.lastIndexOf(QLatin1Char('.')) + 1), value);
}

void avAssetAttributes(const QUrl& url, FileAttributeDictionary& attributes, const QList<TokenDetailsRef>& details)
{
    const QString path = url.toLocalFile();
    if (const std::optional<MediaAsset> asset = MediaAsset::load(path))
        avAssetAttributes(*asset, QFileInfo(path).fileName(), attributes, details);
}

void avAssetAttributes(const MediaAsset& asset, const QString& fileName, FileAttributeDictionary& attributes,
    const QList<TokenDetailsRef>& details)
{
    for (const MediaItem& item : asset.metadata) {
        if (item.identifier.isEmpty() || !item.value.isValid())
            continue;
        const bool binary = item.value.metaType().id() == QMetaType::QByteArray;
        const QString text = binary ? QStringLiteral("%1 bytes").arg(item.value.toByteArray().size()) : item.value.toString();
        const TokenDetailsRef entry = catalogEntry(details, item.identifier);
        if (!entry) {
            if (!ignoredId(item.identifier))
                Log::debug(Log::Category::background, "Unused metadata %s '%s' in %s", item.identifier, text, fileName);
            continue;
        }
        const QString id = entry->tokenId();
        if (binary) {
            avDataAttributes(id, item.value.toByteArray(), attributes);
        } else if (const auto date = fullIso8601Date(text)) {
            AttributeDictionary::add(attributes, id, *date);
        } else if (const auto components = toISO6709GPSComponents(text)) {
            AttributeDictionary::add(attributes, id, text);
            avGPSAttributes(*components, attributes);
        } else {
            AttributeDictionary::add(attributes, id, text);
        }
        aggregateDerivedMediaAttributes(id, text, attributes);
        aggregateDerivedID3SequenceAttributes(id, text, attributes);
        aggregateDerivedFLACSequenceAttributes(id, text, attributes);
    }

    if (asset.creationDate)
        AttributeDictionary::add(attributes, AV_MEDIA_CREATION_DATE, *asset.creationDate);
    if (asset.duration > 0) {
        AttributeDictionary::add(attributes, MediaAttribute::mediaDuration,
            Double::formattedTimespan(std::round(asset.duration), 1));
    }
    if (asset.firstTrack)
        trackAttributes(*asset.firstTrack, attributes);
    if (asset.sampleRate)
        AttributeDictionary::add(attributes, MediaAttribute::mediaSamplerate, *asset.sampleRate);
    if (attributes.contains(AV_RELEASE_DATE))
        AttributeDictionary::add(attributes, MediaAttribute::mediaDate, variantOf(attributes.value(AV_RELEASE_DATE).attributeValue));
}

} // namespace FileAttributeUtil
