// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"
#include "tokens/TokenDetails.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QUrl>
#include <QVariant>

#include <optional>
#include <utility>

struct MediaAsset;

// Reads the attributes of one file from disk. Nothing is cached here; callers
// keep the result with the file. No reader ever throws: a source that cannot be
// read contributes nothing.
namespace FileAttributeUtil {

// Basic attributes, then those of a readable image, then those of an audio or
// video file (by extension).
FileAttributeDictionary loadAttributes(const QUrl& url);
// Kind, content type, dates, size, tags, inode and volume.
// Answers whether the item is a folder (links followed).
bool basicAttributes(const QUrl& url, FileAttributeDictionary& attributes);

// Images: the MIME types Exiv2 reads, and the catalog's EXIF and GPS values
// with the attributes derived from them.
const QSet<QString>& supportedContentTypes();
bool isSupportedImage(const std::optional<QString>& contentType);
void imageAttributes(const QUrl& url, FileAttributeDictionary& attributes);
// The image steps on properties already read (see ImageProperties).
void imageAttributes(const QVariantMap& properties, FileAttributeDictionary& attributes);

// Audio and video: the metadata items whose identifiers the catalog entries
// name, container facts and the derived media attributes.
inline const QStringList AUDIO_VIDEO_EXTENSIONS { "ogg", "flac", "mp3", "m4a", "m4p", "mp4", "wav", "mov", "avi" };
void avAssetAttributes(const QUrl& url, FileAttributeDictionary& attributes, const QList<TokenDetailsRef>& details);
// The steps on an asset already read.
void avAssetAttributes(const MediaAsset& asset, const QString& fileName, FileAttributeDictionary& attributes,
    const QList<TokenDetailsRef>& details);
bool ignoredId(const QString& identifier);

// The GPS pairs ("{GPS}.LatitudeRef", "{GPS}.Latitude", "{GPS}.LongitudeRef",
// "{GPS}.Longitude", then "{GPS}.Altitude" when the text has one) of an ISO 6709
// location text such as "+40.7484-073.9857+010.000/".
std::optional<QList<std::pair<QString, QVariant>>> toISO6709GPSComponents(const QString& text);
void avGPSAttributes(const QList<std::pair<QString, QVariant>>& components, FileAttributeDictionary& attributes);

// Derived media attributes.
void avDataAttributes(const QString& id, const QByteArray& data, FileAttributeDictionary& attributes);
void aggregateDerivedMediaAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes);
void aggregateDerivedID3SequenceAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes);
void aggregateDerivedFLACSequenceAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes);

struct TrackNumbers {
    qint64 track = 0;
    std::optional<qint64> total;
    bool operator==(const TrackNumbers&) const = default;
};
// "3/12", "3", "/12": the track and its total; none for "" or "1/2/3".
std::optional<TrackNumbers> extractTrackNumbers(const QString& text);

} // namespace FileAttributeUtil
