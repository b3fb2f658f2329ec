// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RenameOrder.h"

#include <QHash>

#include <stack>
#include <utility>

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

} // namespace

QList<qsizetype> sorted(const QList<File>& files, const QList<QString>& targets)
{
    const qsizetype count = files.size();
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

} // namespace RenameOrder
