// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The ids of the basic attributes every file and folder has.
enum class Basic { kind, contentType, dateCreated, dateModified, dateAddedToDirectory, dateContentAccess, fileSize, tags, inode, volume };

namespace Basics {
QString rawValue(Basic basic);
std::optional<Basic> fromRawValue(const QString& text);
} // namespace Basics

// Format-independent media attribute ids.
namespace MediaAttribute {
inline const QString mediaWidth = QStringLiteral("media-width");
inline const QString mediaHeight = QStringLiteral("media-height");
inline const QString mediaDuration = QStringLiteral("media-duration");
inline const QString mediaSamplerate = QStringLiteral("media-samplerate");
inline const QString mediaBitrate = QStringLiteral("media-bitrate");
inline const QString mediaFramerate = QStringLiteral("media-framerate");
inline const QString mediaDate = QStringLiteral("media-date");
inline const QString mediaSequence = QStringLiteral("media-sequence");
inline const QString mediaSequenceTotal = QStringLiteral("media-sequence-total");
inline const QString mediaTitle = QStringLiteral("media-title");
inline const QString mediaAlbum = QStringLiteral("media-album");
inline const QString mediaArtist = QStringLiteral("media-artist");
} // namespace MediaAttribute

// EXIF-derived attribute ids the readers know by name.
namespace Exif {
inline const QString exposureTime = QStringLiteral("{Exif}.ExposureTime");
inline const QString flash = QStringLiteral("{Exif}.Flash");
inline const QString flashDescription = QStringLiteral("{Exif}.FlashDescription");
inline const QString flashFired = QStringLiteral("{Exif}.FlashFired");
inline const QString isoSpeed = QStringLiteral("{Exif}.ISOSpeed");
inline const QString isoSpeedRatings = QStringLiteral("{Exif}.ISOSpeedRatings");
inline const QString dateTimeDigitized = QStringLiteral("{Exif}.DateTimeDigitized");
inline const QString offsetTimeDigitized = QStringLiteral("{Exif}.OffsetTimeDigitized");
inline const QString dateTimeOriginal = QStringLiteral("{Exif}.DateTimeOriginal");
inline const QString offsetTimeOriginal = QStringLiteral("{Exif}.OffsetTimeOriginal");
inline const QString subsecTimeDigitized = QStringLiteral("{Exif}.SubsecTimeDigitized");
inline const QString subsecTimeOriginal = QStringLiteral("{Exif}.SubsecTimeOriginal");
inline const QString imageNumber = QStringLiteral("{ExifAux}.ImageNumber");
} // namespace Exif
