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

    QString homeDirectory;  // without a trailing "/"
    QStringList volumes;    // mount points, without a trailing "/"
    WritabilityCheck writability = &DirectoryRoots::writabilityOnDisk;

    // The home folder and the mounts under /media, /run/media/$USER and /mnt.
    static DirectoryRoots fromMachine();

    // The folders that hold mounted volumes (never removed, never a volume themselves).
    static QStringList volumeParents();

    // The item's own facts: lstat, statvfs of the volume it lies on and
    // faccessat(W_OK) without following a final symbolic link.
    static std::optional<Writability> writabilityOnDisk(const QString& path);
};
