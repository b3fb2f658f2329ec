// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file named by the user or found in the settings folder, and
// only a regular file of a bounded size: a named pipe would hold the reader
// for good, and a device may never end.
namespace RegularFile {

enum class Failure { none, cannotOpen, notRegular, tooLarge, cannotRead };

struct Contents {
    QByteArray data;
    Failure failure = Failure::none;
    // The system's error number and its text, for cannotOpen and cannotRead.
    int error = 0;
    QString reason;
};

// Opened without waiting; type and size are taken from the open file itself,
// so a file replaced in between cannot slip past.
Contents read(const QString& path, qint64 maxSize);

} // namespace RegularFile
