// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the directory rules need to know about the machine: the home folder,
// the mounted removable volumes and how writable an item is. Tests build their
// own so that nothing depends on the machine they run on.
struct DirectoryRoots {
    struct Writability {
        bool volumeIsReadOnly = false;
        bool isWritable = true;
    };
    // None when the facts of the item cannot be read.
    using WritabilityCheck = std::function<std::optional<Writability>(const QString& path)>;
    // Whether the entry `name` of the open folder `folderFd` (at `path`) may be
    // written by this user; its volume is the folder's. Asked on several
    // threads at once.
    using EntryWritabilityCheck = std::function<bool(int folderFd, const QByteArray& name, const QString& path)>;

    QString homeDirectory;  // without a trailing "/"
    QStringList volumes;    // mount points, without a trailing "/"
    WritabilityCheck writability = &DirectoryRoots::writabilityOnDisk;
    EntryWritabilityCheck entryIsWritable = &DirectoryRoots::entryIsWritableOnDisk;

    // The home folder and the mounts under /media, /run/media/$USER and /mnt.
    static DirectoryRoots fromMachine();

    // The folders that hold mounted volumes (never removed, never a volume themselves).
    static QStringList volumeParents();

    // The item's own facts: lstat, statvfs of the volume it lies on and
    // faccessat(W_OK) without following a final symbolic link.
    static std::optional<Writability> writabilityOnDisk(const QString& path);
    // faccessat(W_OK) relative to the open folder.
    static bool entryIsWritableOnDisk(int folderFd, const QByteArray& name, const QString& path);

    // The system's own folders (/etc, /usr, /proc, ...): nothing whose real
    // location lies inside one is renamed, whatever link leads there.
    static const QStringList& restrictedSystemFolders();
    // Whether `prefix` (a clean absolute path with one trailing "/") is the root
    // folder or lies inside a restricted system folder.
    static bool isRestrictedSystemLocation(const QString& prefix);
};
