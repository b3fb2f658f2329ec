// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/URL+path.h"

#include "core/CanonicalText.h"
#include "core/String+path.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kFileScheme = QStringLiteral("file://");

QUrl standardized(const QUrl& url)
{
    return url.adjusted(QUrl::NormalizePathSegments);
}

QUrl fileUrl(const QString& path, bool directory)
{
    QString text = path;
    if (directory && !text.endsWith(QLatin1Char('/')))
        text += QLatin1Char('/');
    return QUrl::fromLocalFile(text);
}

} // namespace

namespace URL {

URLComponents components(const QUrl& url)
{
    const QString path = url.path(QUrl::FullyDecoded);
    QStringList parts;
    if (path.startsWith(QLatin1Char('/')))
        parts.append(QStringLiteral("/"));
    parts.append(path.split(QLatin1Char('/'), Qt::SkipEmptyParts));
    QString full = CanonicalText::nfc(parts.join(QLatin1Char('/')));
    static const QRegularExpression slashes(QStringLiteral("[/]+"));
    full.replace(slashes, QStringLiteral("/"));
    return { String::stringByDeletingLastPathComponent(full),
        String::stringByDeletingPathExtension(String::lastPathComponent(full)), String::pathExtension(full), full };
}

QString fullPath(const QUrl& url)
{
    QString text = standardized(url).toString(QUrl::FullyEncoded);
    if (text.startsWith(kFileScheme))
        text.remove(0, kFileScheme.size());
    return text;
}

QUrl normalized(const QUrl& url)
{
    const QUrl clean = standardized(url);
    const bool absolute = clean.path().startsWith(QLatin1Char('/'));
    QString text = clean.isLocalFile() ? clean.toLocalFile() : clean.path(QUrl::FullyEncoded);
    const bool directory = text.endsWith(QLatin1Char('/'));
    const QString expanded = String::tildePathResolved(text);
    if (expanded != text)
        return fileUrl(expanded, directory); // the home folder is absolute already
    if (absolute) {
        if (!text.startsWith(QLatin1Char('/')))
            text.prepend(QLatin1Char('/'));
        return fileUrl(text, directory);
    }
    if (text.startsWith(QLatin1Char('/')))
        text.remove(0, 1);
    return fileUrl(QDir::homePath() + QLatin1Char('/') + text, directory);
}

QUrl resolvedAlias(const QUrl& url)
{
    if (!url.isLocalFile())
        return url;
    QFileInfo info(url.toLocalFile());
    if (!info.isSymLink())
        return url;
    // A link to a link leads on to the final item; a loop or a chain longer
    // than the system follows resolves to nothing, like a dangling link.
    constexpr int MAX_HOPS = 40;
    for (int hop = 0; hop < MAX_HOPS && info.isSymLink(); ++hop)
        info = QFileInfo(info.symLinkTarget());
    if (info.isSymLink() || !info.exists())
        return url;
    return fileUrl(info.absoluteFilePath(), info.isDir());
}

bool isFile(const QUrl& url)
{
    return !url.path().endsWith(QLatin1Char('/'));
}

QList<QUrl> from(const QStringList& filePaths)
{
    QList<QUrl> urls;
    for (const QString& given : filePaths) {
        QString path = given;
        if (path.startsWith(kFileScheme))
            path = QUrl(path).toLocalFile();
        path = String::tildePathResolved(path);
        if (path.isEmpty())
            continue;
        const QFileInfo info(path);
        const QUrl url = standardized(fileUrl(info.absoluteFilePath(), info.isDir()));
        const QUrl resolved = resolvedAlias(url);
        if (QFileInfo::exists(resolved.toLocalFile()))
            urls.append(resolved);
    }
    return urls;
}

} // namespace URL
