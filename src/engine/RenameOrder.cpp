// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RenameOrder.h"

#include "core/String+path.h"
#include "engine/DiskMove.h"
#include "platform/ConcurrentChunks.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <numeric>
#include <stack>
#include <utility>
#include <vector>

namespace RenameOrder {

namespace {

// The folder part of a path ("" for an item in "/").
QStringView folderOf(QStringView path)
{
    return path.left(std::max<qsizetype>(path.lastIndexOf(QLatin1Char('/')), 0));
}

// The folder and the folders above it, nearest first, "/" excluded.
QList<QStringView> withAncestors(QStringView folder)
{
    QList<QStringView> list;
    for (; folder.size() > 1; folder = folderOf(folder))
        list << folder;
    return list;
}

// The folder a listed item is in. A file's record holds it already, as one
// string shared with its neighbours.
QStringView sourceFolderOf(const ExtendedFileInfo& info)
{
    return info.isDirectory ? folderOf(info.fullPath) : QStringView(info.path);
}

// Whether any file of the run may have to wait for another: its target, or a
// folder above its target or its source, is the place of a listed item that
// moves, or a folder moves at all. Mostly none may: told on all cores by
// sorted hashes of the places, without the tables the ordering builds. A hash
// met is only a maybe.
bool mayWait(const QList<File>& files, const QList<QString>& targets)
{
    constexpr qsizetype CHUNK_SIZE = 4096;
    const qsizetype count = files.size();
    // A file without a target stays: its place is no one's to wait for.
    const auto moves = [&](qsizetype i) { return !targets[i].isNull(); };
    std::vector<size_t> places(count);
    std::atomic<bool> folderMoves = false;
    forEachChunkConcurrently(count, CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i) {
                if (!moves(i))
                    continue;
                places[i] = qHash(QStringView(files[i].source.fileInfo.fullPath));
                if (files[i].isDirectory())
                    folderMoves = true;
            }
            return true;
        };
    });
    if (folderMoves)
        return true;
    // The movers' places alone. A counting predicate would count wrong where
    // an algorithm copies it, as the standard allows.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (moves(i))
            places[kept++] = places[i];
    }
    places.resize(kept);
    std::sort(places.begin(), places.end());
    const auto isPlace = [&](QStringView path) { return std::binary_search(places.cbegin(), places.cend(), qHash(path)); };
    std::atomic<bool> met = false;
    forEachChunkConcurrently(count, CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            // The files of one folder come together: its folders are asked once a run.
            QStringView lastTargetFolder;
            QStringView lastSourceFolder;
            const auto anyAbove = [&](QStringView folder, QStringView& last) {
                if (!last.isNull() && folder == last)
                    return false;
                last = folder;
                for (const QStringView above : withAncestors(folder)) {
                    if (isPlace(above))
                        return true;
                }
                return false;
            };
            for (qsizetype i = begin; i < end && !met; ++i) {
                if (!moves(i))
                    continue;
                if (isPlace(targets[i]) || anyAbove(folderOf(targets[i]), lastTargetFolder)
                    || anyAbove(sourceFolderOf(files[i].source.fileInfo), lastSourceFolder)) {
                    met = true;
                    return false;
                }
            }
            return true;
        };
    });
    return met;
}

} // namespace

QList<qsizetype> sorted(const QList<File>& files, const QList<QString>& targets)
{
    const qsizetype count = files.size();
    if (!mayWait(files, targets)) {
        QList<qsizetype> order(count);
        std::iota(order.begin(), order.end(), qsizetype(0));
        return order;
    }
    // Views of the records' own paths: the files stay unchanged while sorting.
    QHash<QStringView, qsizetype> bySource;
    QHash<QStringView, qsizetype> byFolderTarget;
    bySource.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (targets[i].isNull())
            continue;
        bySource.insert(files[i].source.fileInfo.fullPath, i);
        if (files[i].isDirectory())
            byFolderTarget.insert(targets[i], i);
    }

    // before[i]: the files that must be on disk in their new place before file i moves.
    QList<QList<qsizetype>> before(count);
    auto require = [&](qsizetype i, std::optional<qsizetype> other) {
        if (other && *other != i)
            before[i] << *other;
    };
    auto find = [](const QHash<QStringView, qsizetype>& map, QStringView key) -> std::optional<qsizetype> {
        const auto found = map.constFind(key);
        return found == map.cend() ? std::nullopt : std::optional<qsizetype>(*found);
    };
    // What a folder and those above it require is the same for every file in
    // it: found once per folder, and the files of one folder mostly come one
    // after the other.
    struct Above {
        QHash<QString, QList<qsizetype>> byFolder;
        QString lastFolder;
        QList<qsizetype> last;
    };
    Above aboveTarget;
    Above aboveSource;
    auto requiredAbove = [&](Above& cache, QStringView folder, bool arrivingFolders) -> const QList<qsizetype>& {
        if (!cache.lastFolder.isNull() && folder == cache.lastFolder)
            return cache.last;
        cache.lastFolder = folder.toString();
        auto known = cache.byFolder.constFind(cache.lastFolder);
        if (known == cache.byFolder.cend()) {
            QList<qsizetype> required;
            for (const QStringView above : withAncestors(folder)) {
                if (const auto held = find(bySource, above))
                    required << *held;
                if (!arrivingFolders)
                    continue;
                if (const auto arriving = find(byFolderTarget, above))
                    required << *arriving;
            }
            known = cache.byFolder.insert(cache.lastFolder, required);
        }
        cache.last = *known;
        return cache.last;
    };
    for (qsizetype i = 0; i < count; ++i) {
        if (targets[i].isNull())
            continue;
        // The target, or a folder above it, is still held by a file that leaves,
        // or a folder is still to arrive where this file goes.
        require(i, find(bySource, targets[i]));
        for (const qsizetype other : requiredAbove(aboveTarget, folderOf(targets[i]), true))
            require(i, other);
        // A folder above the source moves first; the source is then rebased.
        for (const qsizetype other : requiredAbove(aboveSource, sourceFolderOf(files[i].source.fileInfo), false))
            require(i, other);
    }

    // Depth first, roots in list order; an edge back into the path is a cycle and is left out.
    enum class State { unvisited, visiting, done };
    QList<State> state(count, State::unvisited);
    QList<qsizetype> order;
    order.reserve(count);
    std::stack<std::pair<qsizetype, qsizetype>> stack;
    for (qsizetype root = 0; root < count; ++root) {
        if (state[root] != State::unvisited)
            continue;
        state[root] = State::visiting;
        stack.push({ root, 0 });
        while (!stack.empty()) {
            auto& [node, next] = stack.top();
            if (next < before[node].size()) {
                const qsizetype dependency = before[node][next++];
                if (state[dependency] == State::unvisited) {
                    state[dependency] = State::visiting;
                    stack.push({ dependency, 0 });
                }
                continue;
            }
            state[node] = State::done;
            order << node;
            stack.pop();
        }
    }
    return order;
}

namespace {

// The device of a folder, or of the nearest folder above it that is there
// (where the run would create it), asked once per folder.
class FolderDevices {
public:
    std::optional<quint64> of(QStringView folder)
    {
        if (!m_last.isNull() && folder == m_last)
            return m_lastDevice;
        m_last = folder.isEmpty() ? QStringLiteral("/") : folder.toString();
        auto known = m_known.constFind(m_last);
        if (known == m_known.cend())
            known = m_known.insert(m_last, lookUp(m_last));
        m_lastDevice = *known;
        return m_lastDevice;
    }

private:
    static std::optional<quint64> lookUp(QString at)
    {
        for (;;) {
            // As the listing keys an item's device; links to folders are followed.
            struct statx status {};
            if (::statx(AT_FDCWD, QFile::encodeName(at).constData(), 0, 0, &status) == 0)
                return static_cast<quint64>(makedev(status.stx_dev_major, status.stx_dev_minor));
            if (errno != ENOENT)
                return std::nullopt;
            const QString parent = String::stringByDeletingLastPathComponent(at);
            if (parent == at || parent.isEmpty())
                return std::nullopt;
            at = parent;
        }
    }

    QHash<QString, std::optional<quint64>> m_known;
    QString m_last;
    std::optional<quint64> m_lastDevice;
};

QString nameOf(const File& file)
{
    return String::lastPathComponent(file.source.fileInfo.fullPath);
}

} // namespace

QList<Refusal> refusals(const QList<File>& files, const std::vector<QString>& targets, const std::vector<char>& moves,
    bool mayChain)
{
    const qsizetype count = files.size();
    QList<Refusal> found;
    std::vector<char> refused(count);

    // A rename never crosses file systems.
    FolderDevices devices;
    for (qsizetype i = 0; i < count; ++i) {
        const ExtendedFileInfo& source = files[i].source.fileInfo;
        if (!moves[i] || !source.device)
            continue;
        const std::optional<quint64> device = devices.of(folderOf(targets[i]));
        if (device && *device != *source.device) {
            found << Refusal { i, QStringLiteral("Not renamed: the new place is on another file system, and renaming cannot move a file there.") };
            refused[i] = true;
        }
    }

    if (!mayChain)
        return found;

    // next[i]: the file of the run that leaves the place file i goes to.
    QHash<QStringView, qsizetype> bySource;
    bySource.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (moves[i])
            bySource.insert(files[i].source.fileInfo.fullPath, i);
    }
    std::vector<qsizetype> next(count, -1);
    bool anyChain = false;
    for (qsizetype i = 0; i < count; ++i) {
        if (!moves[i])
            continue;
        const auto holder = bySource.constFind(targets[i]);
        if (holder != bySource.cend() && *holder != i) {
            next[i] = *holder;
            anyChain = true;
        }
    }
    if (!anyChain)
        return found;

    // The cycles: each file has one next, so a walk that comes back onto
    // itself has found one.
    QList<QList<qsizetype>> cycles;
    enum : char { unseen, onWalk, seen };
    std::vector<char> state(count, unseen);
    for (qsizetype start = 0; start < count; ++start) {
        QList<qsizetype> walk;
        qsizetype at = start;
        for (; at >= 0 && state[at] == unseen; at = next[at]) {
            state[at] = onWalk;
            walk << at;
        }
        if (at >= 0 && state[at] == onWalk)
            cycles << walk.mid(walk.indexOf(at));
        for (const qsizetype j : std::as_const(walk))
            state[j] = seen;
    }
    if (cycles.isEmpty())
        return found;

    // The run parks the file whose place the cycle's first mover needs.
    QList<QString> runTargets(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (moves[i])
            runTargets[i] = targets[i];
    }
    const QList<qsizetype> order = sorted(files, runTargets);
    std::vector<qsizetype> turn(count);
    for (qsizetype k = 0; k < order.size(); ++k)
        turn[order[k]] = k;

    for (const QList<qsizetype>& cycle : std::as_const(cycles)) {
        std::optional<qsizetype> blocking;
        for (const qsizetype j : cycle) {
            if (refused[j]) {
                blocking = j;
                break;
            }
        }
        if (!blocking) {
            const qsizetype firstMover = *std::min_element(cycle.cbegin(), cycle.cend(),
                [&](qsizetype a, qsizetype b) { return turn[a] < turn[b]; });
            const qsizetype parked = next[firstMover];
            const File& file = files[parked];
            // Two files swap in one step, without a temporary name.
            if (cycle.size() == 2 && !file.isDirectory() && !files[firstMover].isDirectory())
                continue;
            const QString& source = file.source.fileInfo.fullPath;
            bool anyFree = false;
            for (int attempt = 1; attempt <= DiskMove::PARKING_ATTEMPTS && !anyFree; ++attempt)
                anyFree = !DiskMove::exists(DiskMove::parkingPath(source, file.isDirectory(), attempt));
            if (anyFree)
                continue;
            found << Refusal { parked,
                QStringLiteral("Not renamed: in its cycle of renames this file has to wait under a temporary name, and \"%1\" to \"%2\" are all taken.")
                    .arg(String::lastPathComponent(DiskMove::parkingPath(source, file.isDirectory(), 1)),
                        String::lastPathComponent(DiskMove::parkingPath(source, file.isDirectory(), DiskMove::PARKING_ATTEMPTS))) };
            refused[parked] = true;
            blocking = parked;
        }
        const QString reason = QStringLiteral("Not renamed: this file is in a cycle of renames with \"%1\", which cannot move.").arg(nameOf(files[*blocking]));
        for (const qsizetype j : cycle) {
            if (!refused[j]) {
                found << Refusal { j, reason };
                refused[j] = true;
            }
        }
    }
    return found;
}

} // namespace RenameOrder
