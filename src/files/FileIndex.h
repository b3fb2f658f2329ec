// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>

// The numbering counters of a transformation run, kept with a file for a later
// single-file transformation.
struct FileIndex {
    QMap<QString, qint64> index;
    QMap<QString, qint64> directoryHash;

    bool operator==(const FileIndex&) const = default;
};
