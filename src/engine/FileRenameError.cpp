// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileRenameError.h"

#include "core/String+path.h"
#include "files/ExtendedFileInfo.h"

#include <cerrno>

namespace {

QString describe(FileRenameError::Kind kind, const QUrl& url)
{
    const QString path = url.isLocalFile() ? FileUrl::path(url) : url.toString();
    const QString name = String::lastPathComponent(path);
    const QString folder = String::stringByDeletingLastPathComponent(path);
    const QString item = FileUrl::hasDirectoryPath(url) ? QStringLiteral("folder") : QStringLiteral("file");
    switch (kind) {
    case FileRenameError::Kind::sourceDoesNotExist:
        return QStringLiteral("The %1 \"%2\" is no longer in %3.").arg(item, name, folder);
    case FileRenameError::Kind::sourceReplaced:
        return QStringLiteral("The %1 \"%2\" is no longer in %3: another item has taken its name.").arg(item, name, folder);
    case FileRenameError::Kind::targetAlreadyExists:
        break;
    }
    return QStringLiteral("An item named \"%1\" already exists in %2.").arg(name, folder);
}

} // namespace

FileRenameError::FileRenameError(Kind kind, const QUrl& url)
    : m_kind(kind)
    , m_url(url)
    , m_message(describe(kind, url))
    , m_what(m_message.toStdString())
{
}

int FileRenameError::code() const
{
    return m_kind == Kind::targetAlreadyExists ? EEXIST : ENOENT;
}
