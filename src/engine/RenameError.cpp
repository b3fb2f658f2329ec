// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RenameError.h"

#include "engine/FileRenameError.h"
#include "files/FileManagerError.h"

#include <cerrno>
#include <cstring>
#include <exception>

bool RenameError::isPermissionError() const
{
    return domain == fileDomain && (code == fileWriteNoPermission || code == fileWriteVolumeReadOnly);
}

RenameErrorCode RenameError::codeForErrno(int errnum)
{
    switch (errnum) {
    case EACCES:
    case EPERM:
        return { fileDomain, fileWriteNoPermission };
    case EROFS:
        return { fileDomain, fileWriteVolumeReadOnly };
    case ENOENT:
        return { fileDomain, fileNoSuchFile };
    case EEXIST:
    case ENOTEMPTY:
        return { fileDomain, fileWriteFileExists };
    case ENAMETOOLONG:
        return { fileDomain, fileWriteInvalidFileName };
    case ENOSPC:
    case EDQUOT:
        return { fileDomain, fileWriteOutOfSpace };
    default:
        return { posixDomain, errnum };
    }
}

RenameError RenameError::fromErrno(int errnum, const QString& message)
{
    const RenameErrorCode code = codeForErrno(errnum);
    return { code.domain, code.code, message };
}

RenameError RenameError::from(const FileManagerError& error)
{
    return fromErrno(error.code(), error.message());
}

RenameError RenameError::from(const FileRenameError& error)
{
    return { renameDomain, error.code(), error.message() };
}

RenameError RenameError::fromCurrentException()
{
    try {
        throw;
    } catch (const FileRenameError& error) {
        return from(error);
    } catch (const FileManagerError& error) {
        return from(error);
    } catch (const std::exception& error) {
        return { posixDomain, EIO, QString::fromUtf8(error.what()) };
    }
}
