#include "engine/RenameOrder.h"

#include "core/String+path.h"

#include <QHash>

#include <stack>
#include <utility>

namespace RenameOrder {

namespace {

// The folders above a path, nearest first, "/" excluded.
QStringList ancestors(const QString& path)
{
    QStringList list;
    QString folder = String::stringByDeletingLastPathComponent(path);
    while (folder.size() > 1) {
        list << folder;
        folder = String::stringByDeletingLastPathComponent(folder);
    }
    return list;
}

} // namespace

QList<qsizetype> sorted(const QList<File>& files, const std::function<bool(const File&)>& willRename)
{
    const qsizetype count = files.size();
    QList<bool> moving(count);
    QList<QString> sources(count);
    QList<QString> targets(count);
    QHash<QString, qsizetype> bySource;
    QHash<QString, qsizetype> byFolderTarget;
    for (qsizetype i = 0; i < count; ++i) {
        moving[i] = willRename(files[i]);
        if (!moving[i])
            continue;
        sources[i] = FileUrl::path(files[i].source.fileInfo.url);
        targets[i] = FileUrl::path(files[i].targetUrl());
        bySource.insert(sources[i], i);
        if (files[i].isDirectory())
            byFolderTarget.insert(targets[i], i);
    }

    // before[i]: the files that must be on disk in their new place before file i moves.
    QList<QList<qsizetype>> before(count);
    auto require = [&](qsizetype i, std::optional<qsizetype> other) {
        if (other && *other != i)
            before[i] << *other;
    };
    auto find = [](const QHash<QString, qsizetype>& map, const QString& key) -> std::optional<qsizetype> {
        const auto found = map.constFind(key);
        return found == map.cend() ? std::nullopt : std::optional<qsizetype>(*found);
    };
    // What the folders above a path require is the same for every file in one
    // folder: found once per folder.
    QHash<QString, QList<qsizetype>> aboveTarget;
    QHash<QString, QList<qsizetype>> aboveSource;
    auto requiredAbove = [&](QHash<QString, QList<qsizetype>>& cache, const QString& path, bool arrivingFolders) {
        const QString parent = String::stringByDeletingLastPathComponent(path);
        auto known = cache.constFind(parent);
        if (known == cache.cend()) {
            QList<qsizetype> required;
            for (const QString& folder : ancestors(path)) {
                if (const auto held = find(bySource, folder))
                    required << *held;
                if (!arrivingFolders)
                    continue;
                if (const auto arriving = find(byFolderTarget, folder))
                    required << *arriving;
            }
            known = cache.insert(parent, required);
        }
        return *known;
    };
    for (qsizetype i = 0; i < count; ++i) {
        if (!moving[i])
            continue;
        // The target, or a folder above it, is still held by a file that leaves,
        // or a folder is still to arrive where this file goes.
        require(i, find(bySource, targets[i]));
        for (const qsizetype other : requiredAbove(aboveTarget, targets[i], true))
            require(i, other);
        // A folder above the source moves first; the source is then rebased.
        for (const qsizetype other : requiredAbove(aboveSource, sources[i], false))
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
