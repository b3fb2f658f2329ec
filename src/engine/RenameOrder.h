// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QList>
#include <QString>

#include <vector>

// The order in which the files of a run go to disk so that the result is what
// the preview showed: a file whose target is held by another file of the run
// goes after it, a folder goes before the files inside it (their sources are
// then rebased) and before the files that go into its new place. Where these
// rules form a cycle the list order decides, and the rename loop breaks the
// cycle through a temporary name.
namespace RenameOrder {

// The positions of `files` in rename order. `targets[i]` is where file i goes,
// null for a file that stays.
QList<qsizetype> sorted(const QList<File>& files, const QList<QString>& targets);

// A move the run would be refused, known before it starts, and why.
struct Refusal {
    qsizetype position;
    QString reason;
};

// The moves of `files` the disk will refuse before the run tries them: a move
// to another file system, and a cycle of renames whose file that waits under
// a temporary name finds every such name taken; the other files of a cycle
// with a refused move are refused too, since it cannot close. File i goes to
// `targets[i]` where `moves[i]` is set. Without `mayChain` the caller knows
// that no target is where a file of the list is, and cycles are not looked for.
QList<Refusal> refusals(const QList<File>& files, const std::vector<QString>& targets, const std::vector<char>& moves,
    bool mayChain = true);

} // namespace RenameOrder
