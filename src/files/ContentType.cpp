// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ContentType.h"

#include "core/String+path.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QMutex>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>

#include <optional>
#include <utility>

namespace ContentType {

namespace {

const QMimeDatabase& database()
{
    static const QMimeDatabase mimeDatabase;
    return mimeDatabase;
}

std::optional<Facts> factsOf(const QMimeType& type)
{
    if (!type.isValid())
        return std::nullopt;
    return Facts { type.name(), type.comment() };
}

// The patterns of the database that look at more than a name's ending, as the
// database files list them (lower case unless marked case-sensitive).
struct NamePatterns {
    bool known = false;
    QSet<QString> literals;
    QStringList prefixes; // what a name must start with to be matched
    QStringList endings;  // what it must end with, where the pattern starts with a wildcard class

    // Whether a pattern may match this name through more than its ending.
    bool mayMatchWhole(const QString& name) const
    {
        const QString lower = name.toLower();
        if (literals.contains(lower) || literals.contains(name))
            return true;
        for (const QString& prefix : prefixes) {
            if (lower.startsWith(prefix) || name.startsWith(prefix))
                return true;
        }
        for (const QString& ending : endings) {
            if (lower.endsWith(ending) || name.endsWith(ending))
                return true;
        }
        return false;
    }
};

bool isWildcard(QChar c)
{
    return c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[');
}

NamePatterns readNamePatterns()
{
    NamePatterns patterns;
    const QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime/globs2"));
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        patterns.known = true;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList fields = line.split(QLatin1Char(':'));
            if (fields.size() < 3)
                continue;
            const QString& pattern = fields.at(2);
            if (pattern.startsWith(QLatin1Char('*')))
                continue; // looks at the ending only
            qsizetype first = 0;
            while (first < pattern.size() && !isWildcard(pattern.at(first)))
                ++first;
            if (first == pattern.size()) {
                patterns.literals.insert(pattern);
                continue;
            }
            if (first > 0) {
                patterns.prefixes << pattern.left(first);
                continue;
            }
            qsizetype last = pattern.size();
            while (last > 0 && !isWildcard(pattern.at(last - 1)))
                --last;
            const QString ending = pattern.mid(last);
            if (ending.isEmpty() || pattern.at(last - 1) == QLatin1Char('*')) {
                // Nothing fixed to tell by: every name is looked up by itself.
                patterns.known = false;
                return patterns;
            }
            patterns.endings << ending;
        }
    }
    return patterns;
}

const NamePatterns& namePatterns()
{
    static const NamePatterns patterns = readNamePatterns();
    return patterns;
}

} // namespace

std::optional<Facts> ofDirectory()
{
    static const std::optional<Facts> facts = factsOf(database().mimeTypeForName(QStringLiteral("inode/directory")));
    return facts;
}

std::optional<Facts> ofSymbolicLink()
{
    static const std::optional<Facts> facts = factsOf(database().mimeTypeForName(QStringLiteral("inode/symlink")));
    return facts;
}

std::optional<Facts> ofFile(const QString& fullPath, bool isRegularFile)
{
    // The last component, without a copy when there is no trailing "/" to drop.
    const QString name = fullPath.endsWith(QLatin1Char('/')) ? String::lastPathComponent(fullPath)
                                                              : fullPath.sliced(fullPath.lastIndexOf(QLatin1Char('/')) + 1);
    // The ending starts at the first dot that does not hide the file.
    const qsizetype dot = name.indexOf(QLatin1Char('.'), 1);
    if (!isRegularFile || dot < 0 || !namePatterns().known || namePatterns().mayMatchWhole(name))
        return factsOf(database().mimeTypeForFile(fullPath));

    // The files of a folder mostly share their ending: each thread keeps the
    // last answer, so that threads reading one folder do not queue for the lock.
    thread_local std::optional<std::pair<QString, std::optional<Facts>>> last;
    const QStringView endingView = QStringView(name).sliced(dot);
    if (last && last->first == endingView)
        return last->second ? last->second : factsOf(database().mimeTypeForFile(fullPath));

    static QMutex mutex;
    // The type of each ending; none where the name alone does not tell it.
    static QHash<QString, std::optional<Facts>> byEnding;
    const QString ending = endingView.toString();
    {
        QMutexLocker lock(&mutex);
        const auto known = byEnding.constFind(ending);
        if (known != byEnding.constEnd()) {
            last.emplace(ending, *known);
            if (*known)
                return *known;
            lock.unlock();
            return factsOf(database().mimeTypeForFile(fullPath));
        }
    }
    const QList<QMimeType> byName = database().mimeTypesForFileName(QLatin1Char('x') + ending);
    const std::optional<Facts> facts = byName.size() == 1 ? factsOf(byName.first()) : std::nullopt;
    {
        QMutexLocker lock(&mutex);
        byEnding.insert(ending, facts);
    }
    last.emplace(ending, facts);
    return facts ? facts : factsOf(database().mimeTypeForFile(fullPath));
}

} // namespace ContentType
