// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttributeUtil.h"

#include "core/Number+format.h"
#include "files/ExtendedFileInfo.h"
#include "files/FileSource.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/TokenDetailsList.h"

#include <QFileInfo>

namespace FileAttributeUtil {

namespace {
template <typename Optional>
QVariant optionalValue(const Optional& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}
} // namespace

FileAttributeDictionary loadAttributes(const QUrl& url)
{
    FileAttributeDictionary attributes;
    // A folder is never probed as an image or a medium, whatever its name.
    if (basicAttributes(url, attributes) || FileUrl::hasDirectoryPath(url))
        return attributes;
    if (const auto contentType = attributes.value(Basics::rawValue(Basic::contentType)).attributeValue.stringValue();
        contentType && isSupportedImage(*contentType))
        imageAttributes(url, attributes);
    if (AUDIO_VIDEO_EXTENSIONS.contains(QFileInfo(url.path()).suffix().toLower())) {
        const TokenDetailsList& catalog = TokenDetailsList::shared();
        avAssetAttributes(url, attributes,
            catalog.avTokenDetails + catalog.id3TokenDetails + catalog.flacTokenDetails);
    }
    return attributes;
}

bool basicAttributes(const QUrl& url, FileAttributeDictionary& attributes)
{
    const ExtendedFileInfo info = ExtendedFileInfo::read(url);
    AttributeDictionary::add(attributes, Basic::kind, info.kind);
    AttributeDictionary::add(attributes, Basic::contentType, optionalValue(info.contentType));
    AttributeDictionary::add(attributes, Basic::dateCreated, optionalValue(info.creationDate));
    AttributeDictionary::add(attributes, Basic::dateModified, optionalValue(info.modificationDate));
    // Linux records no date of adding to a folder: the attribute stays absent.
    AttributeDictionary::add(attributes, Basic::dateAddedToDirectory, optionalValue(info.addedToDirectoryDate));
    AttributeDictionary::add(attributes, Basic::dateContentAccess, optionalValue(info.contentAccessDate));
    if (info.fileSize)
        AttributeDictionary::add(attributes, Basic::fileSize, Number::formattedFileSize(*info.fileSize));
    if (info.tagNames)
        AttributeDictionary::add(attributes, Basic::tags, QVariant(*info.tagNames));
    AttributeDictionary::add(attributes, Basic::inode, optionalValue(info.inode));
    if (const auto volume = FileSource::volumeText(info))
        AttributeDictionary::add(attributes, Basic::volume, *volume);
    return info.isDirectory;
}

} // namespace FileAttributeUtil
