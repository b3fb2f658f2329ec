// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/ExtendedFileInfo.h"

#include <QList>
#include <QUuid>

struct File;

// What is on disk: the information the new name is built from (the alias
// target's when aliases were resolved) and the alias files' own information.
struct FileSource {
    QUuid id;
    ExtendedFileInfo fileInfo;
    QList<ExtendedFileInfo> aliasFileInfo;

    FileSource() = default;
    FileSource(QUuid id, ExtendedFileInfo fileInfo, QList<ExtendedFileInfo> aliasFileInfo = {});
    FileSource(QUuid id, const QUrl& sourceURL, bool resolveAlias);

    QUrl url() const { return fileInfo.url(); }
    const QString& name() const { return fileInfo.name; }
    const QString& path() const { return fileInfo.path; }
    const QString& ext() const { return fileInfo.ext; }
    const QString& fullPath() const { return fileInfo.fullPath; }
    QString extSuffix() const;
    bool isDirectory() const { return fileInfo.isDirectory; }
    bool isHidden() const;
    bool isAlias() const { return fileInfo.isAlias; }
    bool isAliasDirectory() const { return fileInfo.isAliasDirectory; }
    bool isSymbolicLink() const { return fileInfo.isSymbolicLink; }
    bool isResolvedAlias() const { return !aliasFileInfo.isEmpty(); }
    std::optional<QUrl> aliasTargetUrl() const { return fileInfo.resolvedURL(); }
    // Read with its device, which stands for the volume here: the pair tells
    // the listed item, also where no volume root was found.
    std::optional<quint64> inode() const { return fileInfo.inode; }
    // The volume's URL text without its scheme: "/" or "/media/My%20Disk/".
    std::optional<QString> volume() const { return volumeText(fileInfo); }
    static std::optional<QString> volumeText(const ExtendedFileInfo& info);

    // Takes over the alias information of another file with the same target.
    void addAliasFileInfo(const File& other);
    // 1 is the innermost folder (a directory's own name), 2 its parent and so on;
    // "" outside the path and for the root.
    QString parentPathAt(int index) const;

    bool operator==(const FileSource&) const = default;
};
