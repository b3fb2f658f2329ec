// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DirectoryRoots.h"
#include "files/File.h"

#include <QSet>

#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

// Carries one file's new name out on disk.
namespace Renamable {

// What the rename run tells a rename and hears back from it.
struct Options {
    // Folders never removed as emptied (listed folders, folders the run made).
    std::function<bool(const QString& folder)> keepFolder;
    // Receives the folders created for the target; a folder made for a move
    // that then failed is removed again while empty, and leaves the set.
    QSet<QString>* createdFolders = nullptr;
    // Receives a sentence for each item left under a name that is neither its
    // own nor its target (a move back that failed), naming where it is now.
    QStringList* strandedReports = nullptr;
    // The home folder and mounted volumes, never removed as emptied: read
    // once for the options of a run, not once for each file that leaves a folder.
    DirectoryRoots roots = DirectoryRoots::fromMachine();
};

// Throws FileRenameError when the item at the file's place is not the listed
// one any more (gone, or another item under its name), FileManagerError when
// it cannot be looked at.
void checkSource(const File& file);
// The same check as an answer.
bool isListedItemInPlace(const File& file);
// Whether the item at `path` is the file's listed item.
bool isListedItemAt(const File& file, const QString& path);
// Where the file is to go: its new full path.
QString targetPath(const File& file);

// Checks the source, creates the target's folder, moves the item to `target`
// (or to a counted name when the target is taken and autoResolveDuplicates
// allows it), re-points the symbolic links that led to it and removes the
// folder it left when that is now empty. Never replaces anything at the target.
//
// Throws FileRenameError or FileManagerError when the item was not moved; the
// file then still describes the old place. After a move the file describes the
// item where it landed, and what failed afterwards (a link, the emptied folder)
// or differs from the preview (a counted name) is answered as warnings, also
// added to the file's validation warnings.
QStringList rename(File& file, const QString& target, const Options& options = {});
// The same to the file's targetPath().
QStringList rename(File& file, const Options& options = {});

// The same as far as the target is free: answers none, with nothing moved, when
// something is at the target, so that the caller may clear it and rename().
std::optional<QStringList> renameIfFree(File& file, const QString& target, const Options& options = {});

// Swaps two files whose targets are each other's places in one step, so that
// no instant has one of them under a third name. Answers the warnings, or none
// when `second` is not its listed item or the file system cannot swap; throws
// for `first` when it is not its listed item or the swap fails otherwise.
// Nothing moved unless warnings are answered.
std::optional<QStringList> exchange(File& first, File& second, const Options& options = {});

// Moves the item at `from` to `to` without replacing anything, then checks
// that what moved is the file's listed item: another item put at `from` just
// then goes back. Answers 0 when the listed item moved, else the errno of the
// move, or ENOENT when another item moved (and went back). Where another
// item cannot go back it is reported through `options` and the errno of that
// move is answered.
int moveListedItem(const File& file, const QString& from, const QString& to, const Options& options = {});

// The steps after the item of `file` went from `source` to `used` by other
// means than rename(): links, the emptied folder, the record.
QStringList finishMove(File& file, const QString& source, const QString& used, const Options& options = {});

} // namespace Renamable
