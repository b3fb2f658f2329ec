// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

// A failed file-system call: the errno it gave and the path it was about.
class FileManagerError : public std::runtime_error {
public:
    FileManagerError(int code, QString path, const QString& operation);

    // Builds the error from the current errno.
    static FileManagerError fromErrno(const QString& path, const QString& operation);

    int code() const { return m_code; }
    const QString& path() const { return m_path; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    int m_code;
    QString m_path;
};
