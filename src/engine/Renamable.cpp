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
bool renameInPlace(const QString& source, const QString& target)
{
    const std::optional<QString> parked = DiskMove::park(source);
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

// The path the item was moved to.
QString moveToFreeTarget(const File& file, const QString& source, const QString& target)
{
    // The move itself tells whether the target is taken.
    const int result = DiskMove::moveNoReplace(source, target);
    if (result == 0)
        return target;
    if (result != EEXIST)
        throw FileManagerError(result, target, QStringLiteral("move"));
    if (DiskMove::isSameItem(source, target) && renameInPlace(source, target))
        return target;

    const FileRenameError taken = FileRenameError::targetAlreadyExists(QUrl::fromLocalFile(target));
    if (!Preference::boolFor(PreferenceKey::autoResolveDuplicates))
        throw taken;
    QString stem = target;
    QString extension;
    if (!file.isDirectory()) {
        stem = String::stringByDeletingPathExtension(target);
        const QString ext = String::pathExtension(String::lastPathComponent(target));
        extension = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    }
    for (int counter = 2; counter <= MAX_COUNTER; ++counter) {
        const QString candidate = stem + QLatin1Char(' ') + QString::number(counter) + extension;
        if (tryMove(source, candidate))
            return candidate;
    }
    throw taken;
}

} // namespace

QStringList rename(File& file, const std::function<bool(const QString&)>& keepFolder)
{
    const QString source = FileUrl::path(file.source.fileInfo.url);
    const QString target = FileUrl::path(file.targetUrl());

    // The source first, so that nothing is created for an item that is gone.
    if (!DiskMove::exists(source)) {
        if (errno != ENOENT)
            throw FileManagerError::fromErrno(source, QStringLiteral("move"));
        throw FileRenameError::sourceDoesNotExist(file.source.fileInfo.url);
    }
    // The source's own folder exists: only another one may have to be made.
    const QString targetFolder = String::stringByDeletingLastPathComponent(target);
    if (targetFolder != String::stringByDeletingLastPathComponent(source))
        DiskMove::createDirectories(targetFolder);

    const QString used = source == target ? target : moveToFreeTarget(file, source, target);

    // The item is moved: what fails from here on is a warning, not a failure.
    QStringList warnings;
    for (const ExtendedFileInfo& alias : std::as_const(file.source.aliasFileInfo)) {
        if (!alias.isSymbolicLink)
            continue;
        try {
            FileManager::updateSymbolicLink(alias.url, QUrl::fromLocalFile(used));
        } catch (const FileManagerError& error) {
            warnings << QStringLiteral("Renamed, but the symbolic link could not be updated: %1").arg(error.message());
            break;
        }
    }
    // Only an item that left its folder can have emptied it.
    const QString oldFolder = String::stringByDeletingLastPathComponent(source);
    const bool leftFolder = String::stringByDeletingLastPathComponent(used) != oldFolder;
    if (leftFolder && (!keepFolder || !keepFolder(oldFolder))) {
        if (const auto error = FileManager::removeDirectoryIfEmpty(oldFolder))
            warnings << QStringLiteral("Renamed, but the emptied folder could not be removed: %1").arg(error->message());
    }

    file.applyRename(QUrl::fromLocalFile(used));
    for (const QString& warning : std::as_const(warnings))
        file.validation.insertWarning(warning);
    return warnings;
}

} // namespace Renamable
