// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class FileManagerError;
class FileRenameError;

// The code of a failed rename together with its domain: the same number means
// different things in different domains, so an ignored code is always kept
// with its domain.
struct RenameErrorCode {
    QString domain;
    qint64 code = 0;

    bool operator==(const RenameErrorCode&) const = default;
};

// A failed rename as the rename run reports it and the user may ignore it.
struct RenameError {
    // File errors with the codes below.
    static inline const QString fileDomain = QStringLiteral("FileError");
    // errno values that have no file code of their own; the code is the errno.
    static inline const QString posixDomain = QStringLiteral("POSIX");
    // FileRenameError: ENOENT the listed item is gone or replaced, EEXIST the target is taken.
    static inline const QString renameDomain = QStringLiteral("FileRenameError");

    static constexpr qint64 fileNoSuchFile = 4;
    static constexpr qint64 fileWriteNoPermission = 513;
    static constexpr qint64 fileWriteInvalidFileName = 514;
    static constexpr qint64 fileWriteFileExists = 516;
    static constexpr qint64 fileWriteOutOfSpace = 640;
    static constexpr qint64 fileWriteVolumeReadOnly = 642;

    QString domain;
    qint64 code = 0;
    QString message;

    RenameErrorCode errorCode() const { return { domain, code }; }
    bool isPermissionError() const;

    // Where an errno value lands: permission errors give 513, a read-only file
    // system 642, a few others their file code, the rest stay errno values.
    static RenameErrorCode codeForErrno(int errnum);

    static RenameError fromErrno(int errnum, const QString& message);
    static RenameError from(const FileManagerError& error);
    static RenameError from(const FileRenameError& error);
    // The error being handled; only inside a catch block.
    static RenameError fromCurrentException();
};

using RenameErrorCodes = QList<RenameErrorCode>;
