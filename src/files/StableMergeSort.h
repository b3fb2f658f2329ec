// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ConcurrentChunks.h"

#include <QList>

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace StableMergeSortDetail {

// Merges in[left ..< middle] and in[middle ..< right] into out at left, taking
// from the right run only when it goes strictly before the left: stable.
template <typename T, typename Less>
void mergeRuns(const T* in, T* out, qsizetype left, qsizetype middle, qsizetype right, Less& less)
{
    qsizetype i = left;
    qsizetype j = middle;
    qsizetype k = left;
    while (i < middle && j < right)
        out[k++] = less(in[j], in[i]) ? in[j++] : in[i++];
    while (i < middle)
        out[k++] = in[i++];
    while (j < right)
        out[k++] = in[j++];
}

// Sorts from[begin ..< end] bottom-up, using to[begin ..< end] as room; the
// sorted values end in `from` or `to`, as answered (true: in `to`).
template <typename T, typename Less>
bool sortRange(T* from, T* to, qsizetype begin, qsizetype end, Less& less)
{
    bool inTo = false;
    for (qsizetype width = 1; width < end - begin; width *= 2) {
        for (qsizetype left = begin; left < end; left += 2 * width)
            mergeRuns(from, to, left, std::min(left + width, end), std::min(left + 2 * width, end), less);
        std::swap(from, to);
        inTo = !inTo;
    }
    return inTo;
}

} // namespace StableMergeSortDetail

// A stable bottom-up merge sort that needs nothing of `less` but an answer: it
// ends after O(n log n) calls even when `less` is no strict weak order (the date
// orders leave undated files unordered), where std::sort may run out of bounds.
// An exception thrown by `less` (a cancelled sort) leaves `values` as it was.
template <typename T, typename Less>
void stableMergeSort(QList<T>& values, Less less)
{
    const qsizetype count = values.size();
    if (count < 2)
        return;
    QList<T> from = values;
    QList<T> to(count);
    if (StableMergeSortDetail::sortRange(from.data(), to.data(), 0, count, less))
        std::swap(from, to);
    values = std::move(from);
}

// The same sort on all cores, for long lists: runs sorted side by side, then
// merged pairwise, each round's pairs side by side. `less` is called from many
// threads at once. An exception thrown by `less` on any thread reaches the
// caller, and `values` stays as it was.
template <typename T, typename Less>
void concurrentStableMergeSort(QList<T>& values, Less less)
{
    constexpr qsizetype MIN_RUN = 4096;
    const qsizetype count = values.size();
    const qsizetype threads = std::max(1u, std::thread::hardware_concurrency());
    const qsizetype runCount = std::min(threads, count / MIN_RUN);
    if (runCount < 2) {
        stableMergeSort(values, less);
        return;
    }
    QList<T> from = values;
    QList<T> to(count);
    T* fromData = from.data();
    T* toData = to.data();
    // Run r holds [starts[r] ..< starts[r + 1]], runs differing by one value at most.
    std::vector<qsizetype> starts(runCount + 1);
    for (qsizetype run = 0; run <= runCount; ++run)
        starts[run] = count / runCount * run + std::min(run, count % runCount);

    std::mutex failureLock;
    std::exception_ptr failure;
    const auto guarded = [&](auto work) {
        return [&, work](qsizetype begin, qsizetype end) {
            try {
                work(begin, end);
                return true;
            } catch (...) {
                const std::scoped_lock lock(failureLock);
                if (!failure)
                    failure = std::current_exception();
                return false;
            }
        };
    };

    // Each run sorted on its own core, its result brought back into `from`.
    forEachChunkConcurrently(runCount, 1, [&] {
        return guarded([&](qsizetype run, qsizetype) {
            const qsizetype begin = starts[run];
            const qsizetype end = starts[run + 1];
            if (StableMergeSortDetail::sortRange(fromData, toData, begin, end, less))
                std::copy(toData + begin, toData + end, fromData + begin);
        });
    });
    if (failure)
        std::rethrow_exception(failure);

    // Merge rounds: run pairs of `width` runs each, until one run is left.
    for (qsizetype width = 1; width < runCount; width *= 2) {
        const qsizetype pairCount = (runCount + 2 * width - 1) / (2 * width);
        forEachChunkConcurrently(pairCount, 1, [&] {
            return guarded([&](qsizetype pair, qsizetype) {
                const qsizetype firstRun = pair * 2 * width;
                const qsizetype left = starts[firstRun];
                const qsizetype middle = starts[std::min(firstRun + width, runCount)];
                const qsizetype right = starts[std::min(firstRun + 2 * width, runCount)];
                StableMergeSortDetail::mergeRuns(fromData, toData, left, middle, right, less);
            });
        });
        if (failure)
            std::rethrow_exception(failure);
        std::swap(fromData, toData);
        std::swap(from, to);
    }
    values = std::move(from);
}
