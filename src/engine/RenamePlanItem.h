// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One row of a file's rename plan: the original, then the name after each rule.
// The file inspector draws rows whose rule does not act on the file struck
// through, and the path in its compact paragraph style.
struct RenamePlanItem {
    QString label;    // "Original Name", or the rule's kind label, a space and its scope
    QString fullPath; // the folder, "/" and a line break, then the name with its extension
    bool actsOnFile = true;

    bool operator==(const RenamePlanItem&) const = default;
};
