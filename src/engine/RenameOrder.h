// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QList>
#include <QString>

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

} // namespace RenameOrder
