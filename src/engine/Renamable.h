#pragma once

#include "files/File.h"

#include <functional>
#include <QString>
#include <QStringList>

// Carries one file's new name out on disk.
namespace Renamable {

// Creates the target's folder, moves the item to its new full path (or to a
// counted name when the target is taken and autoResolveDuplicates allows it),
// re-points the symbolic links that led to it and removes the folder it left
// when that is now empty. Never replaces anything at the target.
//
// Throws FileRenameError or FileManagerError when the item was not moved; the
// file then still describes the old place. After a move the file describes the
// item where it landed, and what failed afterwards (a link, the emptied folder)
// is answered as warnings, also added to the file's validation warnings.
// `keepFolder` names folders never removed as emptied (listed folders still to
// be renamed).
QStringList rename(File& file, const std::function<bool(const QString&)>& keepFolder = {});

} // namespace Renamable
