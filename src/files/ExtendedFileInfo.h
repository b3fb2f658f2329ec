// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/PackedOptional.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class EntryVolumes;
class FolderReader;

// The facts of one file or folder, read once from the disk when it enters the
// list and again after a rename. Symbolic links are the aliases of this platform.
// The item's URL is made from its path when asked for, not kept: a URL costs
// about twice its path in memory, and every listed item has one.
struct ExtendedFileInfo {
    QString fullPath; // absolute, without a trailing "/" (but for "/" itself)
    QString path;
    QString name;
    QString ext;
    bool isDirectory = false;
    bool isAlias = false;
    bool isSymbolicLink = false;
    bool isAliasDirectory = false;
    bool givenAsFolderURL = false; // read from a URL that ends in "/", which its URL keeps
    QUrl linkTargetURL;            // a link's final target; none for other items
    QString kind;
    std::optional<QString> contentType;              // MIME type name
    std::optional<QString> localizedTypeDescription; // the MIME type's comment
    PackedOptional<QDateTime> creationDate;
    PackedOptional<QDateTime> modificationDate;
    PackedOptional<QDateTime> addedToDirectoryDate;  // Linux keeps none
    PackedOptional<QDateTime> contentAccessDate;
    PackedOptional<qint64> fileSize;
    std::optional<QStringList> tagNames;
    PackedOptional<quint64> inode;
    PackedOptional<quint64> device; // with the inode: which item this is, whatever its name
    PackedOptional<QUrl> volume;

    bool operator==(const ExtendedFileInfo&) const = default;

    // The path the item's URL is made of: `fullPath`, with a trailing "/" when
    // it was given as a folder URL. Equal for two records exactly when their
    // URLs are, so it serves as the URL's key without making the URL.
    QString urlPath() const;
    // Whether the two URLs are equal, without making either.
    bool hasSameURL(const ExtendedFileInfo& other) const
    {
        return fullPath == other.fullPath && (givenAsFolderURL == other.givenAsFolderURL || urlPath() == other.urlPath());
    }
    QUrl url() const;
    // Where a link leads; the item's own URL for anything else.
    QUrl resolvedURL() const;

    // The information of the file at `url`; never fails.
    static ExtendedFileInfo read(const QUrl& url);
    // The folder a link at `url` leads to, read under the link's own path, as
    // if the link were that folder; none when `url` is no link to a folder.
    static std::optional<ExtendedFileInfo> readLinkedFolder(const QUrl& url);
    // The same for the entry `name` of an open folder, read relative to it;
    // `nativeName` is the name as the folder listed it. None for a link, which
    // is read by its URL as any other. Safe on several threads at once, each
    // with its own `volumes`.
    static std::optional<ExtendedFileInfo> read(
        const FolderReader& folder, EntryVolumes& volumes, const QString& name, const QByteArray& nativeName);
    // The topmost folder above `path` (itself included) on the same device:
    // the root of its volume, found without the mount table. None when `path`
    // cannot be read.
    static std::optional<QString> volumeRootOf(const QString& path);
    // The device of the item at `path`, links followed, as the records key it.
    static std::optional<quint64> deviceKeyOf(const QString& path);
    // The information after this item was moved to `fullPath` (absolute, as the
    // move used it) on the same volume: derived from what is known (the item,
    // its dates, tags and type stay), read anew only for a link, which may lead
    // elsewhere from its new folder, or for a new extension, which may name
    // another type.
    ExtendedFileInfo movedTo(const QString& fullPath) const;
    // The same in place.
    void moveTo(const QString& fullPath);
};

namespace FileUrl {

// The path of a URL without percent-encoding and without a trailing "/".
QString path(const QUrl& url);
bool hasDirectoryPath(const QUrl& url);
// The path of the normalised URL with its last component deleted.
QString parentPath(const QUrl& url);

} // namespace FileUrl
