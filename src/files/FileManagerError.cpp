// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileManagerError.h"

#include <cerrno>
#include <cstring>

namespace {
std::string describe(int code, const QString& path, const QString& operation)
{
    return QStringLiteral("%1 \"%2\": %3").arg(operation, path, QString::fromLocal8Bit(std::strerror(code))).toStdString();
}
}

FileManagerError::FileManagerError(int code, QString path, const QString& operation)
    : std::runtime_error(describe(code, path, operation))
    , m_code(code)
    , m_path(std::move(path))
{
}

FileManagerError FileManagerError::fromErrno(const QString& path, const QString& operation)
{
    return FileManagerError(errno, path, operation);
}
