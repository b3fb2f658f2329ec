// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"
#include "core/String+path.h"
#include "core/String+utilities.h"

#include <QList>
#include <QStringList>

// A file record made from a path alone, without touching the disk.
inline File makeFile(const QString& fullPath, bool directory = false)
{
    ExtendedFileInfo info;
    info.fullPath = fullPath;
    info.isDirectory = directory;
    info.path = directory ? fullPath : String::stringByDeletingLastPathComponent(fullPath);
    if (info.path == "/")
        info.path.clear();
    info.name = directory ? QString() : String::stringByDeletingPathExtension(String::lastPathComponent(fullPath));
    info.ext = String::pathExtension(fullPath);
    const QUuid id = QUuid::createUuid();
    return File(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
        FileValidation { id, {}, {} }, std::nullopt);
}

inline QList<File> makeFiles(const QStringList& fullPaths)
{
    QList<File> files;
    for (const QString& path : fullPaths)
        files << makeFile(path);
    return files;
}

inline QStringList fullPaths(const QList<File>& files)
{
    QStringList paths;
    for (const File& file : files)
        paths << file.source.fileInfo.fullPath;
    return paths;
}
