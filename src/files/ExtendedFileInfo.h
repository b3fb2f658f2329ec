#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class FolderReader;

// The facts of one file or folder, read once from the disk when it enters the
// list and again after a rename. Symbolic links are the aliases of this platform.
struct ExtendedFileInfo {
    QUrl url;
    QUrl resolvedURL;
    QString fullPath;
    QString path;
    QString name;
    QString ext;
    bool isDirectory = false;
    bool isAlias = false;
    bool isSymbolicLink = false;
    bool isAliasDirectory = false;
    QString kind;
    std::optional<QString> contentType;              // MIME type name
    std::optional<QString> localizedTypeDescription; // the MIME type's comment
    std::optional<QDateTime> creationDate;
    std::optional<QDateTime> modificationDate;
    std::optional<QDateTime> addedToDirectoryDate;   // Linux keeps none
    std::optional<QDateTime> contentAccessDate;
    std::optional<qint64> fileSize;
    std::optional<QStringList> tagNames;
    std::optional<quint64> inode;
    std::optional<quint64> device; // with the inode: which item this is, whatever its name
    std::optional<QUrl> volume;

    bool operator==(const ExtendedFileInfo&) const = default;

    // The information of the file at `url`; never fails.
    static ExtendedFileInfo read(const QUrl& url);
    // The same for the entry `name` of an open folder, read relative to it;
    // `nativeName` is the name as the folder listed it.
    static ExtendedFileInfo read(const FolderReader& folder, const QString& name, const QByteArray& nativeName);
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
