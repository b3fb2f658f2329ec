// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <atomic>
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
