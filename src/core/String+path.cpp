// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+path.h"

#include <QDir>

namespace {

QString fixingSlashes(const QString& path)
{
    // Most paths have nothing to fix: handed back as they are, uncopied.
    const QChar* const data = path.constData();
    const qsizetype size = path.size();
    bool doubled = false;
    for (qsizetype i = 1; i < size && !doubled; ++i)
        doubled = data[i] == QLatin1Char('/') && data[i - 1] == QLatin1Char('/');
    if (!doubled && (size <= 1 || data[size - 1] != QLatin1Char('/')))
        return path;
    QString result;
    result.reserve(path.size());
    for (const QChar c : path) {
        if (c == QLatin1Char('/') && result.endsWith(QLatin1Char('/')))
            continue;
        result += c;
    }
    if (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

// The position of the extension's first character in a fixed path, or -1.
qsizetype extensionStart(const QString& fixed)
{
    const qsizetype componentStart = fixed.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = fixed.lastIndexOf(QLatin1Char('.'));
    if (dot <= componentStart || dot == fixed.size() - 1)
        return -1;
    return dot + 1;
}

} // namespace

namespace String {

QString lastPathComponent(const QString& path)
{
    const QString fixed = fixingSlashes(path);
    if (fixed == QLatin1String("/"))
        return fixed;
    return fixed.mid(fixed.lastIndexOf(QLatin1Char('/')) + 1);
}

QString pathExtension(const QString& path)
{
    const QString fixed = fixingSlashes(path);
    const qsizetype start = extensionStart(fixed);
    return start < 0 ? QString() : fixed.mid(start);
}

QString stringByDeletingPathExtension(const QString& path)
{
    const QString fixed = fixingSlashes(path);
    const qsizetype start = extensionStart(fixed);
    return start < 0 ? fixed : fixed.left(start - 1);
}

QString stringByDeletingLastPathComponent(const QString& path)
{
    const QString fixed = fixingSlashes(path);
    if (fixed == QLatin1String("/"))
        return fixed;
    const qsizetype slash = fixed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return fixed.left(slash);
}

QStringList pathComponents(const QString& path)
{
    QStringList components;
    if (path.startsWith(QLatin1Char('/')))
        components.append(QStringLiteral("/"));
    components.append(path.split(QLatin1Char('/'), Qt::SkipEmptyParts));
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')) && components.size() > 1)
        components.append(QStringLiteral("/"));
    return components;
}

QString stringByAppendingPathComponent(const QString& path, const QString& component)
{
    if (path.isEmpty())
        return fixingSlashes(component);
    if (component.isEmpty())
        return fixingSlashes(path);
    // One allocation: a clash of thousands of files joins a path for every candidate.
    QString joined;
    joined.reserve(path.size() + 1 + component.size());
    joined += path;
    joined += QLatin1Char('/');
    joined += component;
    return fixingSlashes(joined);
}

std::optional<QString> stringByAppendingPathExtension(const QString& path, const QString& extension)
{
    const QString fixed = fixingSlashes(path);
    if (extension.isEmpty() || extension.contains(QLatin1Char('/')) || fixed.isEmpty() || fixed == QLatin1String("/"))
        return std::nullopt;
    return fixed + QLatin1Char('.') + extension;
}

QString tildePathResolved(const QString& path)
{
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace String
