// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>

// The moves of the rename run. None of them ever replaces what is at the
// destination: every move is renameat2 with RENAME_NOREPLACE, or where a file
// system refuses that flag, link + unlink, or else a move onto a placeholder
// the move itself created at the destination (an empty file or folder made
// with O_EXCL or mkdir), only while that placeholder is still untouched.
namespace DiskMove {

// What makes an item itself, whatever its name: its device and inode, and its
// birth time where the file system keeps one, since a freed inode number is
// soon given to a new item.
struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
    std::optional<qint64> birthMilliseconds;
    bool operator==(const Identity&) const = default;
};

// The file-system calls the moves go through. Tests replace them to stage
// failures and races; each answers 0 or an errno value.
struct Calls {
    std::function<int(const QString& from, const QString& to, unsigned int flags)> rename; // renameat2
    std::function<int(const QString& from, const QString& to)> link;
    // Creates an empty placeholder at `path` that nothing else can hold (a
    // folder for a folder, else a file made with O_CREAT | O_EXCL) and puts
    // its identity in `made`.
    std::function<int(const QString& path, bool isDirectory, Identity& made)> reserve;
    // The ignored names in a folder when it holds nothing else, none otherwise
    // (the reader of the emptied-folder check). Throws FileManagerError.
    std::function<std::optional<QByteArrayList>(const QString& folder)> onlyIgnoredNames;
    // Looks at the item at the path without following a final symbolic link
    // (statx); some file systems answer from a cache that lags behind a move.
    std::function<int(const QString& path, struct statx& status)> look;
};

// The calls in use.
const Calls& calls();

// Replaces the calls while it lives; members left empty keep the system's.
class ScopedCalls {
public:
    explicit ScopedCalls(Calls replacement);
    ~ScopedCalls();
    ScopedCalls(const ScopedCalls&) = delete;
    ScopedCalls& operator=(const ScopedCalls&) = delete;

private:
    Calls m_previous;
};

// The system's calls, for replacements that pass some calls on.
Calls systemCalls();

class HeldFolder;

// While it lives, the system's looks and moves on this thread go relative to
// the folder they last used, held open (one folder at a time, let go when a
// move takes that folder or one above it elsewhere, or when it is gone).
// Only for a run: a folder held open keeps its file system from unmounting.
class FolderScope {
public:
    FolderScope();
    ~FolderScope();
    FolderScope(const FolderScope&) = delete;
    FolderScope& operator=(const FolderScope&) = delete;

private:
    HeldFolder* m_previous;
    std::unique_ptr<HeldFolder> m_held;
};

// The item at the path (a final symbolic link is not followed); none when
// nothing is there (errno tells why).
std::optional<Identity> identity(const QString& path);

// 0 on success, else the errno of the move (EEXIST when the destination is taken).
int moveNoReplace(const QString& from, const QString& to);

// Swaps two items in one step. 0 or the errno (EINVAL where the file system
// cannot swap).
int exchange(const QString& a, const QString& b);

// Whether anything is at the path; a dangling symbolic link counts.
bool exists(const QString& path);

// Whether both paths name one item (same device and inode), without following
// a final symbolic link.
bool isSameItem(const QString& a, const QString& b);

// Creates the folder and its missing parents and answers the folders it
// created, outermost first; throws FileManagerError.
QStringList createDirectories(const QString& path);

// How many parking names park() tries.
constexpr int PARKING_ATTEMPTS = 100;

// The name `path` gets while it waits for its place in a cycle of renames: in
// its folder, visible, and keeping its name ("a (renaming).txt", then
// "a (renaming 2).txt", ...); `attempt` counts from 1.
QString parkingPath(const QString& path, bool isDirectory, int attempt);

// Moves the item at `path` to a free parking name and answers that name; none
// when the move failed.
std::optional<QString> park(const QString& path, bool isDirectory);

// `path` with a counter: "report 2.pdf" for a file, "Photos 2" for a folder.
QString countedPath(const QString& path, bool isDirectory, int counter);

// Moves the item at `from` to the first free counted variant of `path`
// (counters 2 to 999) and answers it; none when every move failed.
std::optional<QString> moveToCountedName(const QString& from, const QString& path, bool isDirectory);

} // namespace DiskMove
