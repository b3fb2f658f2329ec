// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include <concepts>
#include <future>
#include <optional>
#include <span>
#include <utility>

// Asynchronous walks over sequences. An asynchronous step is a function that
// answers a std::future; each future is awaited before the next step starts,
// so the walk is strictly in order on the caller's thread. An exception from a
// step (thrown, or stored in its future) ends the walk and reaches the caller.
// Nothing here checks for cancellation: the steps do, through their stop tokens.
namespace Sequence {

// Calls `body` with consecutive chunks (views into `collection`, nothing copied)
// of `chunkSize` elements, the last one holding the rest. An empty collection
// gives one call with an empty chunk; a chunk size below 1 gives one chunk of
// everything.
template <typename T, typename Body>
void forEachChunk(const QList<T>& collection, qsizetype chunkSize, Body body)
{
    const std::span<const T> all(collection.constData(), size_t(collection.size()));
    if (chunkSize < 1)
        chunkSize = std::max<qsizetype>(collection.size(), 1);
    qsizetype offset = 0;
    while (true) {
        const qsizetype length = std::min(chunkSize, collection.size() - offset);
        body(all.subspan(size_t(offset), size_t(length))).get();
        if (offset + length >= collection.size())
            return;
        offset += chunkSize;
    }
}

// The offset of the first element the predicate accepts.
template <typename Range, typename Predicate>
std::optional<qsizetype> firstIndex(const Range& sequence, Predicate predicate)
{
    qsizetype offset = 0;
    for (const auto& element : sequence) {
        if (predicate(element))
            return offset;
        ++offset;
    }
    return std::nullopt;
}

template <typename Range, typename Predicate>
std::optional<qsizetype> firstIndexAsync(const Range& sequence, Predicate predicate)
{
    return firstIndex(sequence, [&](const auto& element) { return predicate(element).get(); });
}

template <typename Range, typename Transform>
auto mapAsync(const Range& sequence, Transform transform)
{
    using Result = decltype(transform(*std::begin(sequence)).get());
    QList<Result> results;
    for (const auto& element : sequence)
        results.append(transform(element).get());
    return results;
}

template <typename Range, typename Result, typename Combine>
Result reduceAsync(const Range& sequence, Result initial, Combine combine)
{
    Result result = std::move(initial);
    for (const auto& element : sequence)
        result = combine(std::move(result), element).get();
    return result;
}

template <typename Range, typename Body>
void forEachAsync(const Range& sequence, Body body)
{
    for (const auto& element : sequence)
        body(element).get();
}

// An asynchronous sequence: `next()` answers a future of the next element,
// none at the end.
template <typename Iterator>
concept AsyncIterator = requires(Iterator iterator) {
    { iterator.next().get() };
};

template <AsyncIterator Iterator, typename Body>
void forEach(Iterator& iterator, Body body)
{
    while (auto element = iterator.next().get())
        body(*element).get();
}

template <AsyncIterator Iterator, typename Predicate>
std::optional<qsizetype> firstIndex(Iterator& iterator, Predicate predicate)
{
    qsizetype offset = 0;
    while (auto element = iterator.next().get()) {
        if (predicate(*element).get())
            return offset;
        ++offset;
    }
    return std::nullopt;
}

} // namespace Sequence
