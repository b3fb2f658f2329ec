// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <QVariantMap>

#include <optional>

// The metadata of the first image of a file as one dictionary: plain top-level
// properties ("PixelWidth", "PixelHeight", "Orientation") and the sub-dictionaries
// "{TIFF}", "{Exif}", "{ExifAux}" and "{GPS}", read through Exiv2. Values are
// texts, whole numbers, doubles and lists of whole numbers; GPS coordinates are
// unsigned decimal degrees beside their "N"/"S"/"E"/"W" references. HEIF and
// AVIF files are read through libheif as well (their EXIF, XMP and size); the
// capture dates, make and model come from the XMP where the EXIF lacks them.
namespace ImageProperties {

// None when the file cannot be opened or its metadata cannot be read; Exiv2's
// errors never leave this function.
std::optional<QVariantMap> read(const QString& path);

// The MIME types whose files Exiv2 reads.
const QSet<QString>& supportedContentTypes();

} // namespace ImageProperties
