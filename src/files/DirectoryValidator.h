// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DirectoryRoots.h"
#include "files/RejectedDirectory.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// Decides where anything may be renamed (the home folder, the mounted volumes
// and the custom folders), checks new folder paths against the path rules, and
// collects the places it refused. One validator is used by one task at a time;
// it asks the disk and the preferences once per folder, so one validator serves
// a whole run.
class DirectoryValidator {
public:
    static constexpr int MAX_DIRECTORY_NAME = 255;  // characters, and UTF-8 bytes
    static constexpr int MAX_DIRECTORY_PATH = 1024; // characters

    explicit DirectoryValidator(DirectoryRoots roots = DirectoryRoots::fromMachine());

    QString homeDirectory() const;              // with one trailing "/"
    QStringList volumes() const;                // each with a trailing "/"
    QStringList supportedDirectories() const;   // the home folder, then the volumes
    QStringList customDirectories() const;      // as stored in the preferences
    void setCustomDirectories(const QStringList& directories);

    // The refusals so far, sorted by path.
    QList<RejectedDirectory> rejectedDirectories() const;
    void reset();
    void append(const RejectedDirectory& rejectedDirectory);

    // On false, records (path + "/", restrictedPath).
    bool isSupportedDirectory(const QString& path);
    bool isSupportedDirectory(const QUrl& url);
    // On false, records the URL's path with readonlyVolume, readonlyPath or error.
    bool isWritableDirectory(const QUrl& url);
    // Whether this user may write the entry `name` (at `path`) of the open
    // folder `folderFd`, asked relative to the folder. Records nothing, so
    // that the entries of a large folder can be asked on several threads.
    bool entryMayBeWritten(int folderFd, const QByteArray& name, const QString& path) const;
    // isWritableDirectory for a plain entry (neither a folder nor a link) of the
    // folder at `folderPath` that entryMayBeWritten answered: its volume is the
    // folder's, asked once per folder.
    bool isWritableEntry(const QString& folderPath, const QString& path, bool mayBeWritten);

    QSet<QString> validatePathString(const QString& path) const;
    // The path rules, the case-only rule and whether the new path is supported.
    QSet<QString> validatePath(const QString& path, const QString& originalPath);

    const DirectoryRoots& roots() const { return m_roots; }

private:
    bool isAdmitted(const QString& prefix, bool resolvedRootsToo = false) const;
    bool isSupportedDirectoryUncached(const QString& path);
    // Records the refusal the facts call for (none when they cannot be read: error).
    bool recordWritability(const QString& path, const std::optional<DirectoryRoots::Writability>& facts);
    const QStringList& admittedRoots() const;
    bool hasTooLongDirectoryNames(const QString& path) const;
    std::optional<QString> hasOnlyCapitalizationChangesFor(const QString& path, const QString& originalPath) const;

    DirectoryRoots m_roots;
    QSet<RejectedDirectory> m_rejected;
    // Whether the resolved form of a clean folder path is admitted; the disk is
    // asked once per folder and validator.
    QHash<QString, bool> m_resolvedAdmitted;
    // The answers per folder path, and the roots with the custom folders, as
    // read on first use.
    QHash<QString, bool> m_supported;
    // Per folder: whether its volume is read-only, none when unknown.
    QHash<QString, std::optional<bool>> m_readOnlyVolumes;
    QHash<QString, QSet<QString>> m_pathMessages;
    struct LastPair {
        QString path;
        QString originalPath;
        QSet<QString> messages;
        bool supported = false;
    };
    std::optional<LastPair> m_last;
    mutable std::optional<QStringList> m_admittedRoots;
    mutable std::optional<QStringList> m_resolvedRoots;
};
