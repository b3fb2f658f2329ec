// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileSource.h"

#include "files/File.h"
#include "core/String+path.h"
#include "core/String+utilities.h"

FileSource::FileSource(QUuid id, ExtendedFileInfo fileInfo, QList<ExtendedFileInfo> aliasFileInfo)
    : id(id)
    , fileInfo(std::move(fileInfo))
    , aliasFileInfo(std::move(aliasFileInfo))
{
}

FileSource::FileSource(QUuid id, const QUrl& sourceURL, bool resolveAlias)
    : id(id)
{
    ExtendedFileInfo info = ExtendedFileInfo::read(sourceURL);
    if (resolveAlias && info.isAlias) {
        fileInfo = ExtendedFileInfo::read(info.resolvedURL());
        aliasFileInfo = { info };
    } else {
        fileInfo = std::move(info);
    }
}

QString FileSource::extSuffix() const
{
    return ext().isEmpty() ? QString() : QLatin1Char('.') + ext();
}

bool FileSource::isHidden() const
{
    return String::lastPathComponent(fileInfo.fullPath).startsWith(QLatin1Char('.'));
}

std::optional<QString> FileSource::volumeText(const ExtendedFileInfo& info)
{
    if (!info.volume)
        return std::nullopt;
    QString volume = info.volume->adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
    if (volume.startsWith(QLatin1String("file://")))
        volume.remove(0, 7);
    return volume;
}

void FileSource::addAliasFileInfo(const File& other)
{
    if (fileInfo.hasSameURL(other.source.fileInfo) && !other.source.aliasFileInfo.isEmpty())
        aliasFileInfo += other.source.aliasFileInfo;
}

QString FileSource::parentPathAt(int index) const
{
    const QString folder = isDirectory() ? fileInfo.fullPath : String::stringByDeletingLastPathComponent(fileInfo.fullPath);
    QStringList components = String::pathComponents(folder);
    std::reverse(components.begin(), components.end());
    if (index < 1 || index > components.size())
        return {};
    const QString& component = components.at(index - 1);
    return component == QLatin1String("/") ? QString() : component;
}
