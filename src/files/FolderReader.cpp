// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FolderReader.h"

#include "core/String+path.h"
#include "files/FileManagerError.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>

FolderReader::FolderReader(const QString& path)
    : m_prefix(path == QLatin1String("/") ? path : path + QLatin1Char('/'))
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    // The listing closes its own descriptor; ours stays open for the lookups.
    const int listed = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    std::unique_ptr<DIR, int (*)(DIR*)> folder(listed < 0 ? nullptr : ::fdopendir(listed), &::closedir);
    if (!folder) {
        const int error = errno;
        if (listed >= 0)
            ::close(listed);
        ::close(m_fd);
        errno = error;
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    }
    errno = 0;
    while (const dirent* entry = ::readdir(folder.get())) {
        const char* name = entry->d_name;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
            m_names << QByteArray(name);
        errno = 0;
    }
    if (errno != 0) {
        const int error = errno;
        ::close(m_fd);
        errno = error;
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    }
    // As the path of an item is derived from its full path, so that the root's
    // entries get "" like every other way of reading them.
    m_entriesPath = String::stringByDeletingLastPathComponent(m_prefix + QLatin1Char('x'));
    if (m_entriesPath.endsWith(QLatin1Char('/')))
        m_entriesPath.chop(1);
}

FolderReader::~FolderReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
