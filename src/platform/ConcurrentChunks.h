// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prefault.h"

#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Runs `work(begin, end)` over the chunks of 0 ..< count on all cores, the
// calling thread included; each thread makes its own state with `makeWorker`
// and takes the next chunk until none is left or a chunk answers false.
// Answers false when a chunk did.
template <typename MakeWorker>
bool forEachChunkConcurrently(qsizetype count, qsizetype chunkSize, MakeWorker makeWorker)
{
    const qsizetype chunkCount = (count + chunkSize - 1) / chunkSize;
    std::atomic<qsizetype> nextChunk = 0;
    std::atomic<bool> stopped = false;
    auto run = [&] {
        auto work = makeWorker();
        for (qsizetype chunk = nextChunk++; chunk < chunkCount && !stopped; chunk = nextChunk++) {
            const qsizetype begin = chunk * chunkSize;
            if (!work(begin, std::min(count, begin + chunkSize))) {
                stopped = true;
                return;
            }
        }
    };
    const qsizetype threadCount = std::min<qsizetype>(chunkCount, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::jthread> threads;
    for (qsizetype i = 1; i < threadCount; ++i)
        threads.emplace_back(run);
    run();
    threads.clear(); // joins
    return !stopped;
}

// A list of `count` elements, element i made by `make(i)` in place on all
// cores, in chunks of `chunkSize`; `make` is called from many threads at once.
// Made in place rather than made empty first on one thread: each element
// reads records that lie apart in memory, and the time goes in waiting for
// those reads and for the new pages.
template <typename T, typename Make>
QList<T> listMadeConcurrently(qsizetype count, qsizetype chunkSize, Make make)
{
    QArrayDataPointer<T> storage = Prefault::unmadeStorage<T>(count);
    T* const first = storage.data();
    forEachChunkConcurrently(count, chunkSize, [&] {
        return [&](qsizetype begin, qsizetype end) {
            Prefault::chunkForWriting(first + begin, std::size_t(end - begin) * sizeof(T));
            for (qsizetype i = begin; i < end; ++i)
                std::construct_at(first + i, make(i));
            return true;
        };
    });
    // Every chunk ran to its end: all are made, and the list owns them.
    storage.size = count;
    return QList<T>(std::move(storage));
}

// Empties `list`, what its elements hold freed on all cores in chunks of
// `chunkSize`: freeing a long list of records on one thread is a stall of its
// own. A list shared with another holder only drops its share.
template <typename T>
void clearConcurrently(QList<T>& list, qsizetype chunkSize = 4096)
{
    if (!list.isDetached() || list.size() < 2 * chunkSize) {
        list = {};
        return;
    }
    T* const first = list.data();
    forEachChunkConcurrently(list.size(), chunkSize, [&] {
        return [&](qsizetype begin, qsizetype end) {
            // Moved out and freed here: what stays behind holds nothing.
            for (qsizetype i = begin; i < end; ++i)
                [[maybe_unused]] const T gone = std::move(first[i]);
            return true;
        };
    });
    list = {};
}
