#include "engine/TransformationUtil.h"

#include "core/Preference.h"
#include "engine/DiskMove.h"
#include "engine/FileValidationUtil.h"
#include "engine/Renamable.h"
#include "engine/RenameOrder.h"
#include "platform/Log.h"

#include <QHash>

namespace TransformationUtil {

namespace {

bool willRename(const File& file)
{
    if (!file.isToBeChanged())
        return false;
    return !file.isDirectory() || Preference::boolFor(PreferenceKey::renameEmptyFolders);
}

QString sourcePath(const File& file)
{
    return FileUrl::path(file.source.fileInfo.url);
}

// One call of the loop: the context and the positions of the files still to come.
class RenameRun {
public:
    RenameRun(RenameContext& context, qsizetype first)
        : m_context(context)
        , m_files(context.files)
    {
        for (qsizetype j = first; j < m_files.size(); ++j)
            m_pendingBySource.insert(sourcePath(m_files[j]), j);
    }

    // The file at `position` leaves the pending ones.
    void begin(qsizetype position)
    {
        m_current = position;
        m_pendingBySource.remove(sourcePath(m_files[position]));
    }

    // A later file of the run that still sits on this file's target (a cycle of
    // renames) moves aside to a temporary name first.
    void parkBlocker(const File& file)
    {
        const auto found = m_pendingBySource.constFind(FileUrl::path(file.targetUrl()));
        if (found == m_pendingBySource.cend())
            return;
        const qsizetype position = *found;
        File& blocker = m_files[position];
        if (!willRename(blocker))
            return;
        const QString from = sourcePath(blocker);
        const std::optional<QString> parked = DiskMove::park(from);
        if (!parked)
            return;
        Log::debug(Log::Category::process, "rename: park %{public}s at %{public}s", from, *parked);
        if (!m_context.parkedFiles.contains(blocker.source.id))
            m_context.parkedFiles.insert(blocker.source.id, from);
        moved(position, from, *parked);
    }

    // Every parked file whose old place is still free goes back there.
    void unparkAll()
    {
        const auto parked = m_context.parkedFiles;
        for (auto it = parked.cbegin(); it != parked.cend(); ++it) {
            for (qsizetype j = 0; j < m_files.size(); ++j) {
                if (m_files[j].source.id != it.key())
                    continue;
                const QString from = sourcePath(m_files[j]);
                if (DiskMove::moveNoReplace(from, it.value()) == 0) {
                    m_context.parkedFiles.remove(it.key());
                    moved(j, from, it.value());
                }
                break;
            }
        }
    }

    // The file at `position` went from `from` to `to` on disk: its record
    // follows, and so do the records of everything listed inside it.
    // `reread` is false when the record already describes the new place.
    void moved(qsizetype position, const QString& from, const QString& to, bool reread = true)
    {
        File& file = m_files[position];
        if (reread)
            file.source.fileInfo = ExtendedFileInfo::read(QUrl::fromLocalFile(to));
        if (position > m_current) {
            m_pendingBySource.remove(from);
            m_pendingBySource.insert(to, position);
        }
        if (file.isDirectory())
            rebase(position, from, to);
    }

    // Keeps the listed folders still to be renamed.
    bool isPendingFolder(const QString& path) const
    {
        const auto found = m_pendingBySource.constFind(path);
        return found != m_pendingBySource.cend() && m_files[*found].isDirectory();
    }

private:
    void rebase(qsizetype mover, const QString& from, const QString& to)
    {
        const QString prefix = from + QLatin1Char('/');
        for (qsizetype j = 0; j < m_files.size(); ++j) {
            if (j == mover)
                continue;
            const QString path = sourcePath(m_files[j]);
            if (!path.startsWith(prefix))
                continue;
            const QString rebased = to + path.mid(from.size());
            if (j > m_current && willRename(m_files[j])) {
                m_pendingBySource.remove(path);
                if (rebased == FileUrl::path(m_files[j].targetUrl())) {
                    // Carried by its folder to where the preview showed it.
                    m_files[j].initProperties(QUrl::fromLocalFile(rebased));
                    ++m_context.totalSuccess;
                    continue;
                }
                // Still to move: the target stays as the preview showed it.
                m_files[j].source.fileInfo = ExtendedFileInfo::read(QUrl::fromLocalFile(rebased));
                m_pendingBySource.insert(rebased, j);
            } else {
                if (j > m_current)
                    m_pendingBySource.remove(path);
                m_files[j].initProperties(QUrl::fromLocalFile(rebased));
                if (j > m_current)
                    m_pendingBySource.insert(rebased, j);
            }
        }
    }

    RenameContext& m_context;
    QList<File>& m_files;
    QHash<QString, qsizetype> m_pendingBySource;
    qsizetype m_current = -1;
};

} // namespace

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

    if (context.status == RenameContext::Status::start) {
        Log::info(Log::Category::process, "🟩 Start renaming %ld files", count);
        QList<File> ordered;
        ordered.reserve(count);
        for (const qsizetype position : RenameOrder::sorted(files, willRename))
            ordered << std::move(files[position]);
        files = std::move(ordered);
    }

    // Reports at most once an interval: one per file would flood the main thread.
    qint64 lastReport = clock.nowMilliseconds();
    RenameRun run(context, first);
    for (qsizetype i = first; i < count; ++i) {
        run.begin(i);
        if (!willRename(files[i]))
            continue;
        run.parkBlocker(files[i]);

        // Renamed in place: a failed rename leaves the record as it was.
        File& file = files[i];
        const QUrl sourceUrl = file.source.fileInfo.url;
        const QString from = sourcePath(file);
        try {
            Renamable::rename(file, [&run](const QString& folder) { return run.isPendingFolder(folder); });
            ++context.totalSuccess;
            context.parkedFiles.remove(file.source.id);
            if (Log::isEnabled(Log::Category::process, Log::Level::debug)) {
                Log::debug(Log::Category::process, "🟩 Commit (success):\nSource: %s\nTarget: %s", sourceUrl.toString(),
                    QUrl::fromLocalFile(file.transformed.transformedFullPath()).toString());
            }
            if (file.isDirectory())
                run.moved(i, from, sourcePath(file), false);
            if (const qint64 now = clock.nowMilliseconds(); progress && now - lastReport >= ProgressData::progressInterval) {
                lastReport = now;
                progress(ProgressData { i, count });
            }
        } catch (...) {
            const RenameError error = RenameError::fromCurrentException();
            ++context.totalErrors;
            Log::error(Log::Category::process, "🟥 Commit (error %ld:\nSource: %{public}s\n\nTarget: %{public}s",
                error.code, sourceUrl.toString(), file.targetUrl().toString());
            if (!isIgnoredErrorCode(error.errorCode(), context.ignoredErrorCodes)) {
                run.unparkAll();
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
            return context;
        }
    }
    context.status = RenameContext::Status::done;
    context.errorDetails.reset();
    return context;
}

std::pair<qint64, qint64> getRenameTotals(const QList<File>& files)
{
    const FileValidationResult result = FileValidationUtil::countFiles(files);
    return { result.errorCount, result.renameCount };
}

} // namespace TransformationUtil
