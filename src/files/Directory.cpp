// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/Directory.h"

#include "files/FileManagerError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <dirent.h>

#include <memory>

namespace Directory {

const QString& homeDirectory()
{
    static const QString home = QDir::cleanPath(QDir::homePath());
    return home;
}

const QSet<QString>& ignoredFilenames()
{
    static const QSet<QString> names { QStringLiteral(".DS_Store"), QStringLiteral("Thumbs.db") };
    return names;
}

bool isIgnored(const QString& name)
{
    return ignoredFilenames().contains(name);
}

QByteArrayList entryNames(const QString& path)
{
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(QFile::encodeName(path).constData()), &::closedir);
    if (!folder)
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    QByteArrayList names;
    errno = 0;
    while (const dirent* entry = ::readdir(folder.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
        errno = 0;
    }
    if (errno != 0)
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    return names;
}

std::optional<QByteArrayList> onlyIgnoredNames(const QString& path)
{
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(QFile::encodeName(path).constData()), &::closedir);
    if (!folder)
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    QByteArrayList ignored;
    errno = 0;
    while (const dirent* entry = ::readdir(folder.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            if (!isIgnored(QFile::decodeName(name)))
                return std::nullopt;
            ignored << name;
        }
        errno = 0;
    }
    if (errno != 0)
        throw FileManagerError::fromErrno(path, QStringLiteral("list"));
    return ignored;
}

qsizetype countFileItems(const QString& path)
{
    qsizetype count = 0;
    for (const QByteArray& name : entryNames(path)) {
        if (!isIgnored(QFile::decodeName(name)))
            ++count;
    }
    return count;
}

} // namespace Directory
