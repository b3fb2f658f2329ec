// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Renamable.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "engine/CaseFolding.h"
#include "engine/DiskMove.h"
#include "engine/FileRenameError.h"
#include "files/FileManager.h"
#include "files/FileManagerError.h"
#include "platform/Log.h"

#include <QFile>

#include <cerrno>
#include <unistd.h>

namespace Renamable {

namespace {

constexpr int MAX_COUNTER = 999;

void reportStranded(const Options& options, const QString& wasAt, const QString& nowAt)
{
    const QString report = QStringLiteral("\"%1\" could not go back and is now \"%2\".")
                               .arg(String::lastPathComponent(wasAt), String::lastPathComponent(nowAt));
    Log::error(Log::Category::process, "rename: %{public}s", report);
    if (options.strandedReports)
        options.strandedReports->append(report);
}

// The listed item is away from `source` at `away` for a step that did not
// happen: it goes back. When it cannot, its record follows it and the rename
// stops there, reported, so that nothing else is moved in its name.
void moveBack(File& file, const QString& away, const QString& source, const Options& options)
{
    if (const int result = DiskMove::moveNoReplace(away, source); result != 0) {
        reportStranded(options, source, away);
        file.applyRename(away);
        throw FileManagerError(result, source, QStringLiteral("move back"));
    }
}

// Throws the reason why the listed item did not leave `source`.
[[noreturn]] void throwNotMoved(const File& file, int result, const QString& target)
{
    if (result == ENOENT)
        checkSource(file);
    throw FileManagerError(result, target, QStringLiteral("move"));
}

// Two spellings of one item: only a file system that folds case gives them one
// inode without two entries. The item goes through a temporary name, since a
// move onto itself would change nothing. Answers false, with the item back in
// place, when the new spelling turns out to be an entry of its own (a hard
// link); throws when the item could not be moved.
bool renameInPlace(File& file, const QString& source, const QString& target, const Options& options)
{
    const std::optional<QString> parked = DiskMove::park(source, file.isDirectory());
    if (!parked)
        throw FileManagerError::fromErrno(source, QStringLiteral("move"));
    if (!isListedItemAt(file, *parked)) {
        // Another item took the listed one's place just before the park.
        if (DiskMove::moveNoReplace(*parked, source) != 0)
            reportStranded(options, source, *parked);
        checkSource(file);
        throw FileRenameError::sourceReplaced(file.source.fileInfo.url());
    }
    // Only the move can tell whether the new spelling is free now: a lookup
    // may still answer from before the park (FUSE keeps found names a while).
    if (const int result = moveListedItem(file, *parked, target, options); result != 0) {
        moveBack(file, *parked, source, options);
        if (result == EEXIST)
            return false;
        throw FileManagerError(result, target, QStringLiteral("move"));
    }
    return true;
}

// Moves to `candidate` unless something is there; throws on any other failure.
bool tryMove(const File& file, const QString& source, const QString& candidate, const Options& options)
{
    if (DiskMove::exists(candidate))
        return false;
    const int result = moveListedItem(file, source, candidate, options);
    if (result == EEXIST)
        return false;
    if (result != 0)
        throwNotMoved(file, result, candidate);
    return true;
}

// The target was taken when the move was tried: a second spelling of the
// item itself, or else a counted name. Answers the path the item was moved to.
QString moveBesideTakenTarget(File& file, const QString& source, const QString& target, const Options& options)
{
    // Only another spelling of its own name can be the item itself: one inode
    // on disk, or, since some folding file systems give each spelling its own
    // inode, a folder that says the two names are one entry. A hard link
    // under another name is an item of its own: no park is tried for it.
    const bool itself = CaseFolding::areOtherSpellings(source, target)
        && (DiskMove::isSameItem(source, target) || CaseFolding().areOneEntry(source, target));
    if (itself && renameInPlace(file, source, target, options))
        return target;
    const FileRenameError taken = FileRenameError::targetAlreadyExists(QUrl::fromLocalFile(target));
    if (!Preference::boolFor(PreferenceKey::autoResolveDuplicates))
        throw taken;
    for (int counter = 2; counter <= MAX_COUNTER; ++counter) {
        const QString candidate = DiskMove::countedPath(target, file.isDirectory(), counter);
        if (tryMove(file, source, candidate, options))
            return candidate;
    }
    throw taken;
}

// The path of the listed item, as the listing read it.
const QString& sourcePathOf(const File& file)
{
    return file.source.fileInfo.fullPath;
}

// The folder part of a path, without building it.
QStringView folderOf(const QString& path)
{
    return QStringView(path).left(std::max<qsizetype>(path.lastIndexOf(QLatin1Char('/')), 0));
}

// Whether the entry at `info`'s place is still the one that was listed; an
// entry listed without its identity only has to be there.
bool isListed(const ExtendedFileInfo& info, const std::optional<DiskMove::Identity>& found)
{
    if (!found)
        return false;
    if (!info.device || !info.inode)
        return true;
    if (found->device != *info.device || found->inode != *info.inode)
        return false;
    return !info.creationDate || !found->birthMilliseconds
        || info.creationDate->toMSecsSinceEpoch() == *found->birthMilliseconds;
}

// The folders made for a target. Unless kept, they are removed again when
// the item did not get there: innermost first, each only while empty.
class FoldersForTarget {
public:
    FoldersForTarget(const QString& target, const Options& options)
        : m_options(options)
        , m_made(DiskMove::createDirectories(String::stringByDeletingLastPathComponent(target)))
    {
        if (m_options.createdFolders) {
            for (const QString& folder : std::as_const(m_made))
                m_options.createdFolders->insert(folder);
        }
    }
    ~FoldersForTarget()
    {
        for (auto it = m_made.crbegin(); it != m_made.crend(); ++it) {
            if (::rmdir(QFile::encodeName(*it).constData()) != 0)
                break;
            if (m_options.createdFolders)
                m_options.createdFolders->remove(*it);
        }
    }
    FoldersForTarget(const FoldersForTarget&) = delete;
    FoldersForTarget& operator=(const FoldersForTarget&) = delete;

    void keep() { m_made.clear(); }

private:
    const Options& m_options;
    QStringList m_made;
};

} // namespace

QString targetPath(const File& file)
{
    return file.transformed.transformedFullPath();
}

void checkSource(const File& file)
{
    const QString& source = sourcePathOf(file);
    const std::optional<DiskMove::Identity> found = DiskMove::identity(source);
    if (!found) {
        if (errno != ENOENT && errno != ENOTDIR)
            throw FileManagerError::fromErrno(source, QStringLiteral("move"));
        throw FileRenameError::sourceDoesNotExist(file.source.fileInfo.url());
    }
    if (!isListed(file.source.fileInfo, found))
        throw FileRenameError::sourceReplaced(file.source.fileInfo.url());
}

bool isListedItemInPlace(const File& file)
{
    return isListedItemAt(file, sourcePathOf(file));
}

bool isListedItemAt(const File& file, const QString& path)
{
    return isListed(file.source.fileInfo, DiskMove::identity(path));
}

int moveListedItem(const File& file, const QString& from, const QString& to, const Options& options)
{
    if (const int result = DiskMove::moveNoReplace(from, to); result != 0)
        return result;
    if (isListedItemAt(file, to))
        return 0;
    // Another item took the listed one's place just before the move.
    if (const int back = DiskMove::moveNoReplace(to, from); back != 0) {
        reportStranded(options, from, to);
        return back;
    }
    return ENOENT;
}

QStringList finishMove(File& file, const QString& source, const QString& used, const Options& options)
{
    QStringList warnings;
    for (const ExtendedFileInfo& alias : std::as_const(file.source.aliasFileInfo)) {
        if (!alias.isSymbolicLink)
            continue;
        try {
            // Only the link that was listed is re-pointed, never what took its place.
            if (!isListed(alias, DiskMove::identity(alias.fullPath)))
                throw FileManagerError(ENOENT, alias.fullPath, QStringLiteral("find the listed symbolic link"));
            FileManager::updateSymbolicLink(alias.url(), QUrl::fromLocalFile(used));
        } catch (const FileManagerError& error) {
            warnings << QStringLiteral("Renamed, but the symbolic link could not be updated: %1").arg(error.message());
            break;
        }
    }
    // Only an item that left its folder can have emptied it.
    if (folderOf(used) != folderOf(source)) {
        FileManager::EmptiedFolderRemoval removal { options.keepFolder, DiskMove::calls().onlyIgnoredNames };
        const QString oldFolder = String::stringByDeletingLastPathComponent(source);
        if (const auto error = FileManager::removeDirectoryIfEmpty(oldFolder, options.roots, removal))
            warnings << QStringLiteral("Renamed, but the emptied folder could not be removed: %1").arg(error->message());
    }

    file.applyRename(used);
    for (const QString& warning : std::as_const(warnings))
        file.validation.insertWarning(warning);
    return warnings;
}

std::optional<QStringList> renameIfFree(File& file, const QString& target, const Options& options)
{
    const QString& source = sourcePathOf(file);
    // The source first, so that nothing is created for an item that is gone.
    checkSource(file);
    // The source's own folder exists: only another one may have to be made.
    std::optional<FoldersForTarget> folders;
    if (folderOf(target) != folderOf(source))
        folders.emplace(target, options);
    if (source != target) {
        // The move itself tells whether the target is taken.
        const int result = moveListedItem(file, source, target, options);
        if (result == EEXIST) {
            if (folders)
                folders->keep();
            return std::nullopt;
        }
        if (result != 0)
            throwNotMoved(file, result, target);
    }
    if (folders)
        folders->keep();
    // The item is moved: what fails from here on is a warning, not a failure.
    // `source` belongs to the record, which the move rewrites.
    return finishMove(file, QString(source), target, options);
}

QStringList rename(File& file, const QString& target, const Options& options)
{
    if (std::optional<QStringList> warnings = renameIfFree(file, target, options))
        return *warnings;
    const QString source = sourcePathOf(file);
    const QString used = moveBesideTakenTarget(file, source, target, options);
    QStringList warnings = finishMove(file, source, used, options);
    if (used != target) {
        const QString counted = QStringLiteral("\"%1\" was taken on disk: renamed to \"%2\" instead.")
                                    .arg(String::lastPathComponent(target), String::lastPathComponent(used));
        file.validation.insertWarning(counted);
        warnings.prepend(counted);
    }
    return warnings;
}

QStringList rename(File& file, const Options& options)
{
    return rename(file, targetPath(file), options);
}

std::optional<QStringList> exchange(File& first, File& second, const Options& options)
{
    checkSource(first);
    if (!isListedItemInPlace(second))
        return std::nullopt;
    // Copies: the records follow the swap.
    const QString firstSource = sourcePathOf(first);
    const QString secondSource = sourcePathOf(second);
    if (const int result = DiskMove::exchange(firstSource, secondSource); result == EINVAL)
        return std::nullopt;
    else if (result != 0)
        throw FileManagerError(result, firstSource, QStringLiteral("swap with \"%1\"").arg(secondSource));
    // Another item may have taken either place just before the swap: then
    // the swap is undone.
    const bool firstSwapped = isListedItemAt(first, secondSource);
    if (!firstSwapped || !isListedItemAt(second, firstSource)) {
        if (const int back = DiskMove::exchange(firstSource, secondSource); back != 0) {
            reportStranded(options, firstSource, secondSource);
            reportStranded(options, secondSource, firstSource);
            throw FileManagerError(back, firstSource, QStringLiteral("swap back with \"%1\"").arg(secondSource));
        }
        if (!firstSwapped)
            throw FileRenameError::sourceReplaced(first.source.fileInfo.url());
        return std::nullopt;
    }
    QStringList warnings = finishMove(first, firstSource, secondSource, options);
    warnings << finishMove(second, secondSource, firstSource, options);
    return warnings;
}

} // namespace Renamable
