#pragma once

#include <QString>

#include <optional>

// The moves of the rename run. None of them ever replaces what is at the
// destination: every move is renameat2 with RENAME_NOREPLACE.
namespace DiskMove {

// 0 on success, else the errno of the move (EEXIST when the destination is taken).
int moveNoReplace(const QString& from, const QString& to);

// Whether anything is at the path; a dangling symbolic link counts.
bool exists(const QString& path);

// Whether both paths name one item (same device and inode), without following
// a final symbolic link.
bool isSameItem(const QString& a, const QString& b);

// Creates the folder and its missing parents; throws FileManagerError.
void createDirectories(const QString& path);

// A free hidden name in the folder of `path`, for parking an item during a swap.
QString temporaryPathBeside(const QString& path);

// Moves the item at `path` to a free temporary name beside it and answers that
// name; none when the move failed.
std::optional<QString> park(const QString& path);

} // namespace DiskMove
