// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DirectoryValidator.h"
#include "files/File.h"
#include "platform/Clock.h"

#include <QList>
#include <QtGlobal>
#include <QUrl>

#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

// Turns opened or dropped URLs into the flat list of unique files: folders are
// walked depth first, symbolic links (the aliases here) are followed or not,
// empty folders are listed or not, hidden folders are listed whole, ignored
// names and refused places are left out. Refusals collect in the validator.
class EntryVolumes;
class FolderReader;

class FilesAndDirectories {
public:
    // Reads renameAliases and renameEmptyFolders from the preferences.
    explicit FilesAndDirectories(const QList<QUrl>& urls, DirectoryRoots roots = DirectoryRoots::fromMachine());
    FilesAndDirectories(const QList<QUrl>& urls, bool renameAliases, bool renameEmptyFolders,
        DirectoryRoots roots = DirectoryRoots::fromMachine());

    // Walks anew on every call, in the caller's thread; checks `stop` before
    // every file and answers an empty list once it is requested. Posts the window
    // title "Opening N files..." at most once per second of `clock`.
    QList<File> allFiles(std::stop_token stop = {}, Clock& clock = Clock::system()) const;

    // The refusals so far, sorted by path.
    QList<RejectedDirectory> rejectedDirectories() const;

    std::shared_ptr<DirectoryValidator> directoryValidator;
    bool renameAliases = false;
    bool renameEmptyFolders = false;
    QList<QUrl> openedUrls;
    QList<File> fileItems; // the opened items that passed the rules, in order

    // The entries of a folder are read in chunks of this many, on all cores.
    static constexpr qsizetype ENTRIES_PER_CHUNK = 128;

private:
    struct Walk;
    // What reading an entry made of it, before the rules that ask the validator.
    enum class EntryKind : quint8 { dropped, notUtf8, link, folder, plain, writablePlain };

    QList<File> getFileItems(const QList<QUrl>& urls, std::stop_token stop) const;
    // Not an ignored name, in a supported place, in a writable folder.
    bool isListable(const ExtendedFileInfo& info) const;
    // Whether an item is at the path (a dangling link counts).
    static bool isThere(const ExtendedFileInfo& info);
    struct FolderEntries;
    // The entries of each folder to walk among `folders` from `first` on, for
    // a batch of them (none for the rest), read on all cores; nothing is asked
    // of the validator and no folder stays open.
    std::vector<FolderEntries> readFolders(const QList<File>& folders, qsizetype first, const Walk& walk) const;
    // The entries that pass the rules, in order. None when the folder was
    // listed before in this walk.
    std::optional<QList<File>> contentsOf(FolderEntries& entries, Walk& walk) const;
    // Reads entry `index` of `reader` into the unmade `slot` (an empty file
    // unless it is a folder or a plain entry); safe on several threads at once.
    void readEntry(const FolderReader& reader, EntryVolumes& volumes, qsizetype index, File* slot, EntryKind& kind,
        const Walk& walk) const;
    // Adds what `files` and the folders among them hold to the walk's findings.
    void getAllUniqueFiles(QList<File> files, Walk& walk) const;
};
