// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CaseFolding.h"

#include "core/CanonicalText.h"
#include "core/String+path.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CaseFolding::Lookups& installed()
{
    static CaseFolding::Lookups current = CaseFolding::systemLookups();
    return current;
}

// The name with the case of its letters changed, or none when it has no
// letter whose case can change.
std::optional<QString> otherSpelling(const QString& name)
{
    const QString upper = name.toUpper();
    if (upper != name)
        return upper;
    const QString lower = name.toLower();
    if (lower != name)
        return lower;
    return std::nullopt;
}

} // namespace

CaseFolding::Lookups CaseFolding::systemLookups()
{
    Lookups system;
    system.finds = [](const QString& folder, const QString& name) {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat status {};
        const bool found = ::fstatat(fd, QFile::encodeName(name).constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
        ::close(fd);
        return found;
    };
    system.names = [](const QString& folder) -> std::optional<QStringList> {
        DIR* directory = ::opendir(QFile::encodeName(folder).constData());
        if (!directory)
            return std::nullopt;
        QStringList names;
        errno = 0;
        while (const dirent* entry = ::readdir(directory)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << QFile::decodeName(name);
        }
        const bool complete = errno == 0;
        ::closedir(directory);
        return complete ? std::optional(names) : std::nullopt;
    };
    return system;
}

CaseFolding::ScopedLookups::ScopedLookups(Lookups replacement)
    : m_previous(installed())
{
    if (replacement.finds)
        installed().finds = std::move(replacement.finds);
    if (replacement.names)
        installed().names = std::move(replacement.names);
}

CaseFolding::ScopedLookups::~ScopedLookups()
{
    installed() = m_previous;
}

QString CaseFolding::folded(const QString& name)
{
    return CanonicalText::nfc(CanonicalText::nfc(name).toCaseFolded());
}

std::optional<bool> CaseFolding::answerOf(const QString& folder)
{
    const Lookups& lookups = installed();
    const std::optional<QStringList> names = lookups.names(folder);
    if (!names)
        return std::nullopt;
    const QSet<QString> listed(names->cbegin(), names->cend());
    // A name it lists, looked up under a spelling it does not list.
    for (const QString& name : *names) {
        const std::optional<QString> other = otherSpelling(name);
        if (other && !listed.contains(*other))
            return lookups.finds(folder, *other);
    }
    // No name to try: the folder's own name, in the folder above it.
    const QString parent = String::stringByDeletingLastPathComponent(folder);
    const std::optional<QString> other = otherSpelling(String::lastPathComponent(folder));
    if (!other || parent == folder || parent.isEmpty())
        return false;
    const std::optional<QStringList> siblings = lookups.names(parent);
    if (!siblings || siblings->contains(*other))
        return false;
    return lookups.finds(parent, *other);
}

bool CaseFolding::foldsCase(const QString& folder)
{
    QMutexLocker lock(&m_mutex);
    const auto known = m_folds.constFind(folder);
    if (known != m_folds.cend())
        return *known;
    // A folder still to be made lies on the file system of the nearest one above it.
    bool folds = false;
    for (QString at = folder; !at.isEmpty();) {
        if (const std::optional<bool> answer = answerOf(at)) {
            folds = *answer;
            break;
        }
        const QString parent = String::stringByDeletingLastPathComponent(at);
        if (parent == at)
            break;
        at = parent;
    }
    m_folds.insert(folder, folds);
    return folds;
}

bool CaseFolding::areOtherSpellings(const QString& a, const QString& b)
{
    const qsizetype slashA = a.lastIndexOf(QLatin1Char('/'));
    const qsizetype slashB = b.lastIndexOf(QLatin1Char('/'));
    if (slashA < 0 || slashA != slashB || QStringView(a).first(slashA) != QStringView(b).first(slashB))
        return false;
    const QString nameA = a.mid(slashA + 1);
    const QString nameB = b.mid(slashB + 1);
    return nameA != nameB && folded(nameA) == folded(nameB);
}

bool CaseFolding::areOneEntry(const QString& a, const QString& b)
{
    if (a == b)
        return a.lastIndexOf(QLatin1Char('/')) >= 0;
    if (!areOtherSpellings(a, b))
        return false;
    const qsizetype slash = a.lastIndexOf(QLatin1Char('/'));
    return foldsCase(slash == 0 ? QStringLiteral("/") : a.left(slash));
}
