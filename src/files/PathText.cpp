#include "files/PathText.h"

#include <limits>

namespace PathText {

namespace {
QString trimmedTrailingSlashes(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    return path.left(end);
}
} // namespace

QString lastPathComponent(const QString& path)
{
    const QString trimmed = trimmedTrailingSlashes(path);
    if (trimmed == QLatin1String("/"))
        return trimmed;
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

QString deletingLastPathComponent(const QString& path)
{
    const QString trimmed = trimmedTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    if (trimmed == QLatin1String("/"))
        return trimmed;
    const QString parent = trimmedTrailingSlashes(trimmed.left(slash));
    return parent.isEmpty() ? QStringLiteral("/") : parent;
}

QString pathExtension(const QString& path)
{
    const QString name = lastPathComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name == QLatin1String("/"))
        return {};
    return name.mid(dot + 1);
}

QString deletingPathExtension(const QString& path)
{
    const QString ext = pathExtension(path);
    const QString trimmed = trimmedTrailingSlashes(path);
    if (ext.isEmpty())
        return trimmed;
    return trimmed.left(trimmed.size() - ext.size() - 1);
}

QString appendingPathComponent(const QString& path, const QString& component)
{
    QString joined;
    if (path.isEmpty())
        joined = component;
    else if (component.isEmpty())
        joined = path;
    else
        joined = path + QLatin1Char('/') + component;
    return trimmedTrailingSlashes(deduplicating(joined, QStringLiteral("/")));
}

QStringList pathComponents(const QString& path)
{
    QStringList components;
    if (path.startsWith(QLatin1Char('/')))
        components << QStringLiteral("/");
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        components << part;
    return components;
}

QString deduplicating(const QString& text, const QString& characters)
{
    if (text.size() < 2)
        return text;
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!result.isEmpty() && c == result.back() && characters.contains(c))
            continue;
        result.append(c);
    }
    return result;
}

quint64 numeric(const QString& text)
{
    constexpr quint64 max = std::numeric_limits<quint64>::max();
    quint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const quint64 digit = static_cast<quint64>(c.unicode() - '0');
        if (value > (max - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace PathText
