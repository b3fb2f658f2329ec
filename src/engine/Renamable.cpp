#include "engine/Renamable.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "engine/DiskMove.h"
#include "engine/FileRenameError.h"
#include "files/FileManager.h"
#include "files/FileManagerError.h"

#include <cerrno>

namespace Renamable {

namespace {

constexpr int MAX_COUNTER = 999;

// Two spellings of one item: only a file system that folds case gives them one
// inode without two entries. The item goes through a temporary name, since a
// move onto itself would change nothing. Answers false, with the item back in
// place, when the new spelling turns out to be an entry of its own (a hard
// link); throws when the item could not be moved.
bool renameInPlace(const QString& source, const QString& target, bool isDirectory)
{
    const std::optional<QString> parked = DiskMove::park(source, isDirectory);
    if (!parked)
        throw FileManagerError::fromErrno(source, QStringLiteral("move"));
    if (DiskMove::exists(target)) {
        DiskMove::moveNoReplace(*parked, source);
        return false;
    }
    if (const int result = DiskMove::moveNoReplace(*parked, target); result != 0) {
        DiskMove::moveNoReplace(*parked, source);
        throw FileManagerError(result, target, QStringLiteral("move"));
    }
    return true;
}

// Moves to `candidate` unless something is there; throws on any other failure.
bool tryMove(const QString& source, const QString& candidate)
{
    if (DiskMove::exists(candidate))
        return false;
    const int result = DiskMove::moveNoReplace(source, candidate);
    if (result == EEXIST)
        return false;
    if (result != 0)
        throw FileManagerError(result, candidate, QStringLiteral("move"));
    return true;
}

// The target was taken when the move was tried: a second spelling of the
// item itself, or else a counted name. Answers the path the item was moved to.
QString moveBesideTakenTarget(const File& file, const QString& source, const QString& target)
{
    if (DiskMove::isSameItem(source, target) && renameInPlace(source, target, file.isDirectory()))
        return target;
    const FileRenameError taken = FileRenameError::targetAlreadyExists(QUrl::fromLocalFile(target));
    if (!Preference::boolFor(PreferenceKey::autoResolveDuplicates))
        throw taken;
    for (int counter = 2; counter <= MAX_COUNTER; ++counter) {
        const QString candidate = DiskMove::countedPath(target, file.isDirectory(), counter);
        if (tryMove(source, candidate))
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

void createTargetFolder(const QString& target, const Options& options)
{
    const QStringList created = DiskMove::createDirectories(String::stringByDeletingLastPathComponent(target));
    if (options.createdFolders) {
        for (const QString& folder : created)
            options.createdFolders->insert(folder);
    }
}

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
    return isListed(file.source.fileInfo, DiskMove::identity(sourcePathOf(file)));
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
        if (const auto error = FileManager::removeDirectoryIfEmpty(oldFolder, DirectoryRoots::fromMachine(), removal))
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
    if (folderOf(target) != folderOf(source))
        createTargetFolder(target, options);
    if (source != target) {
        // The move itself tells whether the target is taken.
        if (const int result = DiskMove::moveNoReplace(source, target); result == EEXIST)
            return std::nullopt;
        else if (result != 0)
            throw FileManagerError(result, target, QStringLiteral("move"));
    }
    // The item is moved: what fails from here on is a warning, not a failure.
    // `source` belongs to the record, which the move rewrites.
    return finishMove(file, QString(source), target, options);
}

QStringList rename(File& file, const QString& target, const Options& options)
{
    if (std::optional<QStringList> warnings = renameIfFree(file, target, options))
        return *warnings;
    const QString source = sourcePathOf(file);
    const QString used = moveBesideTakenTarget(file, source, target);
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
    QStringList warnings = finishMove(first, firstSource, secondSource, options);
    warnings << finishMove(second, secondSource, firstSource, options);
    return warnings;
}

} // namespace Renamable
