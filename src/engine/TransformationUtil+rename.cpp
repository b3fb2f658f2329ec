// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationUtil.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "engine/DiskMove.h"
#include "engine/FileValidationUtil.h"
#include "engine/Renamable.h"
#include "engine/RenameOrder.h"
#include "files/FileManagerError.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"

#include <QHash>


namespace TransformationUtil {

namespace {

// Where each file goes, null for a file the loop passes over (no new place, or
// a folder while folders are not renamed). Asked once per file and run.
QList<QString> targetsOf(const QList<File>& files)
{
    constexpr qsizetype CHUNK_SIZE = 4096;
    const bool renameFolders = Preference::boolFor(PreferenceKey::renameEmptyFolders);
    QList<QString> targets(files.size());
    QString* const first = targets.data();
    // Each made on its own, on all cores.
    forEachChunkConcurrently(files.size(), CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i) {
                const File& file = files.at(i);
                if (file.isToBeChanged() && (!file.isDirectory() || renameFolders))
                    first[i] = Renamable::targetPath(file);
            }
            return true;
        };
    });
    return targets;
}

// The listed item's path, as the listing read it.
const QString& sourcePath(const File& file)
{
    return file.source.fileInfo.fullPath;
}

void logSuccess(const QString& sourcePath, const File& file)
{
    if (!Log::isEnabled(Log::Category::process, Log::Level::debug))
        return;
    Log::debug(Log::Category::process, "🟩 Commit (success):\nSource: %s\nTarget: %s", QUrl::fromLocalFile(sourcePath).toString(),
        QUrl::fromLocalFile(file.transformed.transformedFullPath()).toString());
}

// One call of the loop: the context, the files' targets and the positions of
// the files still to come. Records are changed in place; a rename changes its
// file's record only once the item moved.
class RenameRun {
public:
    // `targets` as targetsOf() answers them for the context's files.
    RenameRun(RenameContext& context, QList<QString> targets)
        : m_context(context)
        , m_files(context.files)
        , m_targets(std::move(targets))
    {
        for (const File& file : std::as_const(m_files))
            track(file, sourcePath(file), true);
        m_options.keepFolder = [this](const QString& folder) {
            return m_listedFolders.contains(folder) || m_context.createdFolders.contains(folder);
        };
        m_options.createdFolders = &m_context.createdFolders;
        m_options.strandedReports = &m_context.strandedReports;
    }

    const Renamable::Options& options() const { return m_options; }

    // Whether the file at `position` is still to move, and where to.
    bool willRename(qsizetype position) const { return !m_targets[position].isNull(); }
    const QString& target(qsizetype position) const { return m_targets[position]; }

    // The file at `position` leaves the pending ones.
    void begin(qsizetype position)
    {
        m_current = position;
        // No cycle is open: none of the moves so far may have to be undone.
        if (m_context.parkedFiles.isEmpty())
            m_cycleMoves.clear();
        forgetPending(sourcePath(m_files[position]));
    }

    // A swap of the current file with another (each one's target is the
    // other's place) is one exchange on disk. Answers false when it is no swap,
    // the partner is not its listed item or the file system cannot exchange;
    // throws for the current file when the exchange failed otherwise.
    bool exchangeWithPartner()
    {
        const std::optional<qsizetype> blocker = blockerPosition();
        if (!blocker)
            return false;
        File& file = m_files[m_current];
        File& partner = m_files[*blocker];
        // Folders carry listed items inside them: they go one at a time.
        if (file.isDirectory() || partner.isDirectory() || m_targets[*blocker] != sourcePath(file))
            return false;
        const QString partnerFrom = sourcePath(partner);
        if (!Renamable::exchange(file, partner, m_options))
            return false;
        // The partner is in its place: the loop passes over it.
        m_targets[*blocker] = QString();
        recordMoved(*blocker, partnerFrom);
        ++m_context.totalSuccess;
        m_context.parkedFiles.remove(partner.source.id);
        logSuccess(partnerFrom, partner);
        return true;
    }

    // A later file of the run that still sits on the current file's target (a
    // cycle of renames) moves aside to a parking name first.
    void parkBlocker()
    {
        const std::optional<qsizetype> position = blockerPosition();
        if (!position)
            return;
        const File& blocker = m_files[*position];
        // What sits there now is not the listed file: it is no file of the run.
        if (!Renamable::isListedItemInPlace(blocker))
            return;
        const QString from = sourcePath(blocker);
        const std::optional<QString> parked = DiskMove::park(from, blocker.isDirectory());
        if (!parked)
            return;
        // Another item took the listed one's place just before the park: it
        // goes back, and the current file meets a taken target.
        if (!Renamable::isListedItemAt(blocker, *parked)) {
            if (DiskMove::moveNoReplace(*parked, from) != 0)
                reportStranded(String::lastPathComponent(from), *parked, QStringLiteral("could not go back"));
            return;
        }
        Log::debug(Log::Category::process, "rename: park %{public}s at %{public}s", from, *parked);
        if (!m_context.parkedFiles.contains(blocker.source.id))
            m_context.parkedFiles.insert(blocker.source.id, from);
        moved(*position, from, *parked);
    }

    // The file at `position` moved from `from` in the loop: while a file is
    // parked, that move may have to be undone for the parked file to go back.
    void noteCycleMove(qsizetype position, const QString& from)
    {
        if (!m_context.parkedFiles.isEmpty())
            m_cycleMoves.insert(sourcePath(m_files[position]), { position, from });
    }

    // Whatever ended the loop, no file stays parked: each goes to its target,
    // else back to its place (undoing the moves of its cycle that took that
    // place, where the disk allows), else it keeps its visible parking name
    // and is reported. `failed` names the file of the cycle whose failure
    // ends it; the files that go back say so and are not tried again.
    void settleParked(const std::optional<QString>& failed = std::nullopt)
    {
        const auto parked = m_context.parkedFiles;
        for (auto it = parked.cbegin(); it != parked.cend(); ++it) {
            m_context.parkedFiles.remove(it.key());
            const std::optional<qsizetype> position = positionOf(it.key());
            if (!position)
                continue;
            File& file = m_files[*position];
            const QString from = sourcePath(file);
            const QString target = Renamable::targetPath(file);
            const int result = Renamable::moveListedItem(file, from, target, m_options);
            if (result == 0) {
                Renamable::finishMove(file, from, target, m_options);
                m_targets[*position] = QString();
                recordMoved(*position, from);
                ++m_context.totalSuccess;
                logSuccess(it.value(), file);
                continue;
            }
            const QString inCycleWith = notRenamedInCycle(failed.value_or(String::lastPathComponent(it.value())));
            if (undoMovesInto(it.value(), inCycleWith) && Renamable::moveListedItem(file, from, it.value(), m_options) == 0) {
                moved(*position, from, it.value());
                // A file whose own move failed says that already.
                if (file.validation.errors.isEmpty())
                    file.validation.insertError(failed ? inCycleWith : FileManagerError(result, target, QStringLiteral("move")).message());
                m_targets[*position] = QString();
            } else {
                const QString report = reportStranded(String::lastPathComponent(it.value()), from,
                    QStringLiteral("could neither be renamed nor go back"));
                // An error keeps the loop from moving it again and shows in its row.
                file.validation.insertError(report);
            }
        }
        m_cycleMoves.clear();
    }

    // The item at `position` went from `from` to `to` on disk by other means
    // than a rename: its record is read there.
    void moved(qsizetype position, const QString& from, const QString& to)
    {
        m_files[position].source.fileInfo = ExtendedFileInfo::read(QUrl::fromLocalFile(to));
        recordMoved(position, from);
    }

    // The record at `position` now describes its item, which was at `from`
    // before: the bookkeeping and the records inside a moved folder follow.
    void recordMoved(qsizetype position, const QString& from)
    {
        const File& file = m_files[position];
        const QString to = sourcePath(file);
        track(file, from, false);
        track(file, to, true);
        if (position > m_current) {
            forgetPending(from);
            notePending(to, position);
        }
        if (file.isDirectory() && from != to)
            rebase(position, from, to);
    }

private:
    // A move of the loop made while a file was parked.
    struct CycleMove {
        qsizetype position;
        QString from;
    };

    QString reportStranded(const QString& name, const QString& now, const QString& what)
    {
        const QString report = QStringLiteral("\"%1\" %2, and is now \"%3\".").arg(name, what, String::lastPathComponent(now));
        Log::error(Log::Category::process, "rename: %{public}s", report);
        m_context.strandedReports << report;
        return report;
    }

    static QString notRenamedInCycle(const QString& failedName)
    {
        return QStringLiteral("Not renamed: this file is in a cycle of renames with \"%1\", which could not move.").arg(failedName);
    }

    // Frees `path` for a parked file that goes back: the move of its cycle
    // that went there is undone, and first the one that went to that move's
    // old place, and so on. Answers whether `path` is free; moves that could
    // not be undone stay done. The files put back say `why`.
    bool undoMovesInto(const QString& path, const QString& why)
    {
        QList<CycleMove> chain;
        QString place = path;
        while (DiskMove::exists(place)) {
            const auto found = m_cycleMoves.constFind(place);
            if (found == m_cycleMoves.cend() || sourcePath(m_files[found->position]) != place)
                return false;
            chain << *found;
            place = found->from;
            m_cycleMoves.erase(found);
        }
        // The last move's old place is free: undone from there back to `path`.
        for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
            File& file = m_files[it->position];
            const QString at = sourcePath(file);
            try {
                const QStringList made = DiskMove::createDirectories(String::stringByDeletingLastPathComponent(it->from));
                for (const QString& folder : made)
                    m_context.createdFolders.insert(folder);
            } catch (const FileManagerError&) {
                return false;
            }
            if (Renamable::moveListedItem(file, at, it->from, m_options) != 0)
                return false;
            Renamable::finishMove(file, at, it->from, m_options);
            recordMoved(it->position, at);
            --m_context.totalSuccess;
            file.validation.insertError(why);
            m_targets[it->position] = QString();
            Log::info(Log::Category::process, "rename: undo %{public}s to %{public}s", at, it->from);
        }
        return true;
    }

    // The sources of the files still to come, by path. Made when a target is
    // first found taken: most runs never ask.
    const QHash<QString, qsizetype>& pendingBySource()
    {
        if (!m_pendingMade) {
            m_pendingMade = true;
            m_pendingBySource.reserve(m_files.size() - m_current);
            for (qsizetype j = m_current + 1; j < m_files.size(); ++j)
                m_pendingBySource.insert(sourcePath(m_files[j]), j);
        }
        return m_pendingBySource;
    }

    void forgetPending(const QString& path)
    {
        if (m_pendingMade)
            m_pendingBySource.remove(path);
    }

    void notePending(const QString& path, qsizetype position)
    {
        if (m_pendingMade)
            m_pendingBySource.insert(path, position);
    }

    // The later file of the run that sits on the current file's target and moves too.
    std::optional<qsizetype> blockerPosition()
    {
        const QHash<QString, qsizetype>& pending = pendingBySource();
        const auto found = pending.constFind(m_targets[m_current]);
        if (found == pending.cend() || !willRename(*found))
            return std::nullopt;
        return *found;
    }

    // Listed folders are never removed as emptied, wherever the run took them.
    void track(const File& file, const QString& path, bool add)
    {
        if (!file.isDirectory())
            return;
        if (add)
            ++m_listedFolders[path];
        else if (--m_listedFolders[path] <= 0)
            m_listedFolders.remove(path);
    }

    std::optional<qsizetype> positionOf(const QUuid& id) const
    {
        for (qsizetype j = 0; j < m_files.size(); ++j) {
            if (m_files[j].source.id == id)
                return j;
        }
        return std::nullopt;
    }

    // The records inside a moved folder follow it, and so do the folders the
    // run made in it. They are found through an index of folders, so that a
    // move costs what lies inside the folder, not a pass over the whole list.
    void rebase(qsizetype mover, const QString& from, const QString& to)
    {
        if (!m_folderIndex)
            buildFolderIndex();
        const QString prefix = from + QLatin1Char('/');
        // The folders known inside `from`, collected before the rebased ones join.
        QStringList inside { from };
        for (qsizetype k = 0; k < inside.size(); ++k)
            inside << m_folderIndex->value(inside[k]).subfolders;

        for (const QString& folder : std::as_const(inside)) {
            if (folder != from && m_context.createdFolders.remove(folder)) {
                const QString rebased = to + folder.mid(from.size());
                m_context.createdFolders.insert(rebased);
                indexFolder(rebased);
            }
            // A copy: indexing the rebased records may grow the index.
            const QList<qsizetype> records = m_folderIndex->value(folder).records;
            for (const qsizetype j : records) {
                if (j == mover)
                    continue;
                File& file = m_files[j];
                const QString path = sourcePath(file);
                // An entry the index keeps from an earlier place of the record.
                if (!path.startsWith(prefix))
                    continue;
                const QString rebased = to + path.mid(from.size());
                indexRecord(j, rebased);
                track(file, path, false);
                if (j > m_current)
                    forgetPending(path);
                if (j > m_current && willRename(j)) {
                    if (rebased == m_targets[j]) {
                        // Carried by its folder to where the preview showed it.
                        file.initProperties(QUrl::fromLocalFile(rebased));
                        m_targets[j] = QString();
                        ++m_context.totalSuccess;
                        track(file, rebased, true);
                        continue;
                    }
                    // Still to move: the target stays as the preview showed it.
                    file.source.fileInfo = ExtendedFileInfo::read(QUrl::fromLocalFile(rebased));
                } else {
                    file.initProperties(QUrl::fromLocalFile(rebased));
                }
                if (j > m_current)
                    notePending(rebased, j);
                track(file, rebased, true);
            }
        }
    }

    // A folder of the index: the records that are, were or will be right in
    // it, and the known folders right inside it.
    struct IndexedFolder {
        QList<qsizetype> records;
        QStringList subfolders;
    };

    // Every place a record takes in the run is its source, its target, a
    // name beside one of them, or one of those carried along by a folder
    // move; so the index holds each record under the folders of its source
    // and its target, and rebase() adds where a move carries it.
    void buildFolderIndex()
    {
        m_folderIndex.emplace();
        m_folderIndex->reserve(m_files.size());
        for (qsizetype j = 0; j < m_files.size(); ++j) {
            indexRecord(j, sourcePath(m_files[j]));
            if (willRename(j))
                indexRecord(j, m_targets[j]);
        }
        for (const QString& folder : std::as_const(m_context.createdFolders))
            indexFolder(folder);
    }

    void indexRecord(qsizetype position, const QString& path)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return;
        const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
        indexFolder(folder);
        (*m_folderIndex)[folder].records << position;
    }

    // Adds the folder and the folders above it that are not known yet.
    void indexFolder(const QString& folder)
    {
        if (m_folderIndex->contains(folder))
            return;
        m_folderIndex->insert(folder, {});
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || folder == QLatin1String("/"))
            return;
        const QString parent = slash == 0 ? QStringLiteral("/") : folder.left(slash);
        indexFolder(parent);
        (*m_folderIndex)[parent].subfolders << folder;
    }

    std::optional<QHash<QString, IndexedFolder>> m_folderIndex;

    RenameContext& m_context;
    QList<File>& m_files;
    QList<QString> m_targets;
    QHash<QString, qsizetype> m_pendingBySource;
    bool m_pendingMade = false;
    QHash<QString, int> m_listedFolders;
    Renamable::Options m_options;
    qsizetype m_current = -1;
    // The moves made while a file was parked, by where each item went.
    QHash<QString, CycleMove> m_cycleMoves;
};

// The files from `first` on that were still to move say that the run
// stopped before them.
void noteNotTried(QList<File>& files, qsizetype first)
{
    const bool renameFolders = Preference::boolFor(PreferenceKey::renameEmptyFolders);
    for (qsizetype j = first; j < files.size(); ++j) {
        File& file = files[j];
        if (file.isToBeChanged() && (!file.isDirectory() || renameFolders))
            file.validation.insertError(QStringLiteral("Not renamed: the run was stopped before this file."));
    }
}

} // namespace

void noteFilesNotTried(RenameContext& context)
{
    if (context.errorDetails)
        noteNotTried(context.files, context.errorDetails->fileIndex + 1);
}

bool isIgnoredErrorCode(const RenameErrorCode& errorCode, const RenameErrorCodes& ignoredErrorCodes)
{
    const RenameError error { errorCode.domain, errorCode.code, {} };
    if (error.isPermissionError() && Preference::boolFor(PreferenceKey::autoIgnoreFilePermissionErrors))
        return true;
    return ignoredErrorCodes.contains(errorCode);
}

RenameContext renameFiles(RenameContext context, const ProgressCallback& progress, std::stop_token stop, Clock& clock)
{
    QList<File>& files = context.files;
    const qsizetype count = files.size();
    const qsizetype first = std::min(context.errorDetails ? context.errorDetails->fileIndex + 1 : 0, count);

    QList<QString> targets = targetsOf(files);
    if (context.status == RenameContext::Status::start) {
        Log::info(Log::Category::process, "🟩 Start renaming %ld files", count);
        const QList<qsizetype> order = RenameOrder::sorted(files, targets);
        // Most runs keep the list order: the list is then not rebuilt.
        bool inListOrder = true;
        for (qsizetype k = 0; k < count && inListOrder; ++k)
            inListOrder = order[k] == k;
        if (!inListOrder) {
            QList<File> ordered;
            QList<QString> orderedTargets;
            ordered.reserve(count);
            orderedTargets.reserve(count);
            for (const qsizetype position : order) {
                ordered << std::move(files[position]);
                orderedTargets << std::move(targets[position]);
            }
            files = std::move(ordered);
            targets = std::move(orderedTargets);
        }
    }

    // Records are changed in place: the list is the loop's own.
    files.detach();
    // The files of one folder go one after another: its path is walked once.
    const DiskMove::FolderScope heldFolder;
    // A run shorter than the interval says nothing; a longer one reports every
    // renamed file from then on.
    const qint64 startTime = clock.nowMilliseconds();
    RenameRun run(context, std::move(targets));
    for (qsizetype i = first; i < count; ++i) {
        run.begin(i);
        if (!run.willRename(i))
            continue;
        File& file = files[i];

        // Copies that share their text: the record changes with the move.
        const QString from = sourcePath(file);
        try {
            // The move itself tells whether the target is taken; only then is a
            // file of the run that sits there asked to make way.
            if (!Renamable::renameIfFree(file, run.target(i), run.options()) && !run.exchangeWithPartner()) {
                run.parkBlocker();
                Renamable::rename(file, run.target(i), run.options());
            }
            ++context.totalSuccess;
            context.parkedFiles.remove(file.source.id);
            logSuccess(from, file);
            run.recordMoved(i, from);
            run.noteCycleMove(i, from);
            if (progress && clock.nowMilliseconds() - startTime >= ProgressData::progressInterval)
                progress(ProgressData { i, count });
        } catch (...) {
            const RenameError error = RenameError::fromCurrentException();
            ++context.totalErrors;
            Log::error(Log::Category::process, "🟥 Commit (error %ld:\nSource: %{public}s\n\nTarget: %{public}s",
                error.code, QUrl::fromLocalFile(from).toString(), file.targetUrl().toString());
            // The row shows why the file kept its name; where the listed item
            // is gone or replaced, so do the rows of later previews.
            file.validation.insertError(error.message);
            if (!Renamable::isListedItemInPlace(file))
                file.validation.listedItemError = error.message;
            // A cycle this file was part of cannot close: it is undone now,
            // whether or not the run goes on.
            run.settleParked(String::lastPathComponent(context.parkedFiles.value(file.source.id, from)));
            if (!isIgnoredErrorCode(error.errorCode(), context.ignoredErrorCodes)) {
                context.status = RenameContext::Status::error;
                context.errorDetails = RenameContext::ErrorDetails { i, error };
                return context;
            }
            ++context.totalIgnoredErrors;
        }

        // A cycle of renames is finished before the run stops.
        if (stop.stop_requested() && context.parkedFiles.isEmpty()) {
            Log::info(Log::Category::process, "🟥 Renaming Task aborted by user request");
            context.status = RenameContext::Status::aborted;
            context.errorDetails.reset();
            noteNotTried(files, i + 1);
            return context;
        }
    }
    run.settleParked();
    context.status = RenameContext::Status::done;
    context.errorDetails.reset();
    return context;
}

} // namespace TransformationUtil
