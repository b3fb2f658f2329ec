// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DirectoryValidator.h"

#include "core/Preference.h"
#include "core/TextOffsets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace {

qsizetype characterCount(const QString& text)
{
    return TextOffsets(text).characterCount();
}

QString withTrailingSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// The lexically clean absolute form of a path with one trailing "/", or none when
// the path is relative or climbs above the root. "" is the root folder's path.
std::optional<QString> prefixForm(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("/");
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    const QString cleaned = QDir::cleanPath(path);
    if (cleaned == QLatin1String("/..") || cleaned.startsWith(QLatin1String("/../")))
        return std::nullopt;
    return withTrailingSlash(cleaned);
}

// The folder as the disk resolves it, with one trailing "/": the nearest existing
// folder on the way made canonical (symbolic links followed), the rest appended.
std::optional<QString> resolvedForm(const QString& prefix)
{
    QString existing = prefix.size() > 1 ? prefix.chopped(1) : prefix;
    QStringList rest;
    for (;;) {
        const QString canonical = QFileInfo(existing).canonicalFilePath();
        if (!canonical.isEmpty()) {
            rest.prepend(canonical == QLatin1String("/") ? QString() : canonical);
            return withTrailingSlash(rest.join(QLatin1Char('/')));
        }
        if (existing == QLatin1String("/"))
            return std::nullopt;
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        rest.prepend(existing.mid(slash + 1));
        existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
    }
}

bool sameItem(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0 || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

DirectoryValidator::DirectoryValidator(DirectoryRoots roots)
    : m_roots(std::move(roots))
{
}

QString DirectoryValidator::homeDirectory() const
{
    QString home = m_roots.homeDirectory;
    while (home.size() > 1 && home.endsWith(QLatin1Char('/')))
        home.chop(1);
    return withTrailingSlash(home);
}

QStringList DirectoryValidator::volumes() const
{
    QStringList list;
    for (const QString& volume : m_roots.volumes)
        list << withTrailingSlash(volume);
    return list;
}

QStringList DirectoryValidator::supportedDirectories() const
{
    QStringList list;
    if (!m_roots.homeDirectory.isEmpty())
        list << homeDirectory();
    return list + volumes();
}

QStringList DirectoryValidator::customDirectories() const
{
    return Preference::stringArrayFor(PreferenceKey::customDirectories);
}

void DirectoryValidator::setCustomDirectories(const QStringList& directories)
{
    Preference::set(directories, PreferenceKey::customDirectories);
    // Every answer so far was given against the old list.
    m_admittedRoots.reset();
    m_resolvedRoots.reset();
    m_supported.clear();
    m_resolvedAdmitted.clear();
    m_pathMessages.clear();
    m_last.reset();
}

const QStringList& DirectoryValidator::admittedRoots() const
{
    if (!m_admittedRoots) {
        QStringList roots = supportedDirectories();
        for (const QString& custom : customDirectories()) {
            // An empty entry names no folder; it must not admit every path.
            if (const auto root = custom.isEmpty() ? std::nullopt : prefixForm(custom))
                roots << *root;
        }
        m_admittedRoots = roots;
    }
    return *m_admittedRoots;
}

QList<RejectedDirectory> DirectoryValidator::rejectedDirectories() const
{
    QList<RejectedDirectory> list(m_rejected.cbegin(), m_rejected.cend());
    std::sort(list.begin(), list.end(),
        [](const RejectedDirectory& a, const RejectedDirectory& b) { return a.path < b.path; });
    return list;
}

void DirectoryValidator::reset()
{
    m_rejected.clear();
}

void DirectoryValidator::append(const RejectedDirectory& rejectedDirectory)
{
    m_rejected.insert(rejectedDirectory);
}

bool DirectoryValidator::isSupportedDirectory(const QString& path)
{
    auto known = m_supported.constFind(path);
    if (known == m_supported.constEnd())
        known = m_supported.insert(path, isSupportedDirectoryUncached(path));
    if (*known)
        return true;
    append({ path + QLatin1Char('/'), RejectionReason::restrictedPath });
    return false;
}

bool DirectoryValidator::isSupportedDirectoryUncached(const QString& path)
{
    // The test runs on the clean form, so "/home/me/../../etc" is not taken for
    // a folder of the home folder. Names are case-sensitive here.
    // A folder is admitted by the path it is given in, so that a link inside the
    // home folder ("~/Photos" to another disk) leads to folders that can be
    // renamed; but no link may lead into the system's own folders ("~/x" to /etc).
    if (const auto tested = prefixForm(path); tested && isAdmitted(*tested)) {
        auto resolved = m_resolvedAdmitted.constFind(*tested);
        if (resolved == m_resolvedAdmitted.constEnd()) {
            const auto form = resolvedForm(*tested);
            const bool admitted = !form || isAdmitted(*form, true) || !DirectoryRoots::isRestrictedSystemLocation(*form);
            resolved = m_resolvedAdmitted.insert(*tested, admitted);
        }
        return *resolved;
    }
    return false;
}

bool DirectoryValidator::isAdmitted(const QString& prefix, bool resolvedRootsToo) const
{
    const QStringList& roots = admittedRoots();
    for (const QString& root : roots) {
        if (prefix.startsWith(root))
            return true;
    }
    if (!resolvedRootsToo)
        return false;
    if (!m_resolvedRoots) {
        QStringList resolved;
        for (const QString& root : roots) {
            if (const auto resolvedRoot = resolvedForm(root))
                resolved << *resolvedRoot;
        }
        m_resolvedRoots = resolved;
    }
    for (const QString& root : std::as_const(*m_resolvedRoots)) {
        if (prefix.startsWith(root))
            return true;
    }
    return false;
}

bool DirectoryValidator::isSupportedDirectory(const QUrl& url)
{
    return isSupportedDirectory(url.toLocalFile());
}

bool DirectoryValidator::recordWritability(const QString& path, const std::optional<DirectoryRoots::Writability>& facts)
{
    std::optional<RejectionReason> refusal;
    if (!facts)
        refusal = RejectionReason::error;
    else if (facts->volumeIsReadOnly)
        refusal = RejectionReason::readonlyVolume;
    else if (!facts->isWritable)
        refusal = RejectionReason::readonlyPath;
    if (refusal)
        append({ path, *refusal });
    return !refusal;
}

bool DirectoryValidator::isWritableDirectory(const QUrl& url)
{
    const QString path = url.toLocalFile();
    return recordWritability(path, m_roots.writability ? m_roots.writability(path) : std::nullopt);
}

bool DirectoryValidator::entryMayBeWritten(int folderFd, const QByteArray& name, const QString& path) const
{
    return !m_roots.entryIsWritable || m_roots.entryIsWritable(folderFd, name, path);
}

bool DirectoryValidator::isWritableEntry(const QString& folderPath, const QString& path, bool mayBeWritten)
{
    auto readOnly = m_readOnlyVolumes.constFind(folderPath);
    if (readOnly == m_readOnlyVolumes.constEnd()) {
        const auto folder = m_roots.writability ? m_roots.writability(folderPath) : std::nullopt;
        readOnly = m_readOnlyVolumes.insert(folderPath, folder ? std::optional<bool>(folder->volumeIsReadOnly) : std::nullopt);
    }
    if (!*readOnly) // the folder's facts could not be read: ask about the item itself
        return isWritableDirectory(QUrl::fromLocalFile(path));
    const bool volumeIsReadOnly = **readOnly;
    const bool isWritable = !volumeIsReadOnly && mayBeWritten;
    return recordWritability(path, DirectoryRoots::Writability { volumeIsReadOnly, isWritable });
}

QSet<QString> DirectoryValidator::validatePathString(const QString& path) const
{
    QSet<QString> messages;
    if (path.contains(QLatin1String("//")))
        messages.insert(QStringLiteral("Double slashes \"//\" are not allowed in Path"));
    const QStringList components = path.split(QLatin1Char('/'));
    if (components.contains(QLatin1String(".")))
        messages.insert(QStringLiteral("Folder name is not allowed to be a single dot (\".\")"));
    // A ".." would climb out of the folder the path names, past every check.
    if (components.contains(QLatin1String("..")))
        messages.insert(QStringLiteral("Folder name is not allowed to be two dots (\"..\")"));
    if (hasTooLongDirectoryNames(path))
        messages.insert(QStringLiteral("Folder names cannot exceed %1 characters each").arg(MAX_DIRECTORY_NAME));
    if (characterCount(path) > MAX_DIRECTORY_PATH)
        messages.insert(QStringLiteral("Path is longer than %1 characters").arg(MAX_DIRECTORY_PATH));
    return messages;
}

bool DirectoryValidator::hasTooLongDirectoryNames(const QString& path) const
{
    const QStringList pieces = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(pieces.cbegin(), pieces.cend(), [](const QString& piece) {
        // The file system counts bytes, users count characters: both must fit.
        return piece.toUtf8().size() > MAX_DIRECTORY_NAME || characterCount(piece) > MAX_DIRECTORY_NAME;
    });
}

std::optional<QString> DirectoryValidator::hasOnlyCapitalizationChangesFor(const QString& path, const QString& originalPath) const
{
    if (path == originalPath)
        return std::nullopt;
    const QStringList original = originalPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList changed = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < original.size(); ++i) {
        if (i >= changed.size())
            return std::nullopt;
        if (changed[i] == original[i])
            continue;
        if (original[i].toLower() != changed[i].toLower())
            return std::nullopt;
        // Only a file system that folds case gives both spellings one item; on
        // any other the new spelling is simply another folder.
        const QString parent = QLatin1Char('/') + original.mid(0, i).join(QLatin1Char('/'));
        const QString originalFolder = withTrailingSlash(parent) + original[i];
        const QString changedFolder = withTrailingSlash(parent) + changed[i];
        if (!sameItem(originalFolder, changedFolder))
            return std::nullopt;
        return QStringLiteral("The case change of folder \"%1\" to \"%2\" cannot be applied unless at least one of its parent folders has a different name.")
            .arg(original[i], changed[i]);
    }
    return std::nullopt;
}

QSet<QString> DirectoryValidator::validatePath(const QString& path, const QString& originalPath)
{
    // Files come folder by folder: the pair of the last call is asked again
    // without building a key.
    if (!m_last || m_last->path != path || m_last->originalPath != originalPath) {
        // Most files of a list share both folders: the rules run once per pair.
        const QString key = path + QChar(0) + originalPath;
        auto known = m_pathMessages.constFind(key);
        if (known == m_pathMessages.constEnd()) {
            QSet<QString> messages = validatePathString(path);
            if (const auto message = hasOnlyCapitalizationChangesFor(path, originalPath))
                messages.insert(*message);
            known = m_pathMessages.insert(key, messages);
        }
        m_last = LastPair { path, originalPath, *known, isSupportedDirectory(path) };
    } else if (!m_last->supported) {
        isSupportedDirectory(path); // records the refusal again after a reset
    }
    QSet<QString> messages = m_last->messages;
    if (!m_last->supported) {
        messages.insert(QStringLiteral("Path should start with one of the following prefixes: ")
            + (supportedDirectories() + customDirectories()).join(QStringLiteral(", "))
            + QStringLiteral(". Other folders can be added in Edit \u25B8 Preferences\u2026 (Ctrl+,)."));
    }
    return messages;
}
