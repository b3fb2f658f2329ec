// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Array+helpers.h"
#include "core/Sequence+async.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

// A step that finishes on another thread, as a worker's would.
template <typename T>
std::future<T> later(T value)
{
    return std::async(std::launch::async, [value] { return value; });
}

std::future<void> done()
{
    std::promise<void> promise;
    promise.set_value();
    return promise.get_future();
}

// An asynchronous sequence over a list; it can fail at a given element.
struct ListStream {
    QList<int> items;
    qsizetype failAt = -1;
    qsizetype position = 0;
    std::future<std::optional<int>> next()
    {
        std::promise<std::optional<int>> promise;
        if (position == failAt)
            promise.set_exception(std::make_exception_ptr(std::runtime_error("stream failed")));
        else if (position < items.size())
            promise.set_value(items[position]);
        else
            promise.set_value(std::nullopt);
        ++position;
        return promise.get_future();
    }
};

TEST(Sequence, arrays)
{
    EXPECT_EQ(Array::unique(QList<QString> { "b", "a", "b", "c", "a" }), QList<QString>({ "b", "a", "c" }));
    EXPECT_TRUE(Array::unique(QList<int> {}).isEmpty());
    EXPECT_EQ(Array::unique(QList<int> { 1, 1, 1 }), QList<int>({ 1 }));

    const QList<int> five { 1, 2, 3, 4, 5 };
    const struct { qsizetype size; QList<QList<int>> chunks; } cases[] = {
        { 2, { { 1, 2 }, { 3, 4 }, { 5 } } },
        { 5, { { 1, 2, 3, 4, 5 } } },
        { 7, { { 1, 2, 3, 4, 5 } } },
        { 0, {} },
        { -1, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Array::chunked(five, c.size), c.chunks) << c.size;
    EXPECT_TRUE(Array::chunked(QList<int> {}, 2).isEmpty());
}

TEST(Sequence, extractAndResize)
{
    QList<int> values { 1, 2, 3, 4, 5, 6 };
    int calls = 0;
    EXPECT_EQ(Array::extract(values, [&](int v) { ++calls; return v % 2 == 0; }), QList<int>({ 2, 4, 6 }));
    EXPECT_EQ(values, QList<int>({ 1, 3, 5 }));
    EXPECT_EQ(calls, 6);
    EXPECT_TRUE(Array::extract(values, [](int) { return false; }).isEmpty());
    EXPECT_EQ(values, QList<int>({ 1, 3, 5 }));
    EXPECT_EQ(Array::extract(values, [](int) { return true; }), QList<int>({ 1, 3, 5 }));
    EXPECT_TRUE(values.isEmpty());

    QList<QString> list;
    Array::resize(list, 3, QString("x"));
    EXPECT_EQ(list, QList<QString>({ "x", "x", "x" }));
    list = { "a", "b", "c", "d", "e" };
    Array::resize(list, 2, QString("x"));
    EXPECT_EQ(list, QList<QString>({ "a", "b" }));
    Array::resize(list, 0, QString("x"));
    EXPECT_TRUE(list.isEmpty());
    list = { "a" };
    Array::resize(list, -4, QString("x"));
    EXPECT_TRUE(list.isEmpty());
}

TEST(Sequence, forEachChunk)
{
    const struct { qsizetype count; qsizetype chunkSize; QList<qsizetype> sizes; } cases[] = {
        { 10, 4, { 4, 4, 2 } },
        { 8, 4, { 4, 4 } },
        { 0, 4, { 0 } },
        { 3, 0, { 3 } },
        { 3, -2, { 3 } },
    };
    for (const auto& c : cases) {
        QList<int> values;
        for (int i = 0; i < c.count; ++i)
            values.append(i);
        QList<qsizetype> sizes;
        QList<int> seen;
        Sequence::forEachChunk(values, c.chunkSize, [&](std::span<const int> chunk) {
            sizes.append(qsizetype(chunk.size()));
            seen.append(QList<int>(chunk.begin(), chunk.end()));
            return done();
        });
        EXPECT_EQ(sizes, c.sizes) << c.count << "/" << c.chunkSize;
        EXPECT_EQ(seen, values);
    }

    int calls = 0;
    EXPECT_THROW(Sequence::forEachChunk(QList<int> { 1, 2, 3 }, 1, [&](std::span<const int>) -> std::future<void> {
        if (++calls == 2)
            throw std::runtime_error("stop");
        return done();
    }), std::runtime_error);
    EXPECT_EQ(calls, 2);
}

TEST(Sequence, asynchronousSearchMapAndReduce)
{
    const QList<int> values { 3, 8, 5, 8 };
    QList<int> asked;
    EXPECT_EQ(Sequence::firstIndexAsync(values, [&](int v) { asked.append(v); return later(v == 8); }), 1);
    EXPECT_EQ(asked, QList<int>({ 3, 8 })); // stops at the first match
    EXPECT_EQ(Sequence::firstIndexAsync(QList<int> {}, [](int) { return later(true); }), std::nullopt);
    EXPECT_EQ(Sequence::firstIndex(values, [](int v) { return v == 5; }), 2);
    EXPECT_EQ(Sequence::firstIndex(values, [](int v) { return v == 9; }), std::nullopt);
    EXPECT_THROW(Sequence::firstIndex(values, [](int) -> bool { throw std::runtime_error("x"); }), std::runtime_error);

    EXPECT_EQ(Sequence::mapAsync(values, [](int v) { return later(QString::number(v * 2)); }),
        QList<QString>({ "6", "16", "10", "16" }));
    EXPECT_EQ(Sequence::reduceAsync(values, 0, [](int sum, int v) { return later(sum * 10 + v); }), 3858);
    int combined = 0;
    EXPECT_EQ(Sequence::reduceAsync(QList<int> {}, 7, [&](int sum, int v) { ++combined; return later(sum + v); }), 7);
    EXPECT_EQ(combined, 0);

    QList<int> order;
    Sequence::forEachAsync(values, [&](int v) {
        return std::async(std::launch::async, [&order, v] {
            std::this_thread::yield();
            order.append(v);
        });
    });
    EXPECT_EQ(order, values);
}

TEST(Sequence, asynchronousStreams)
{
    ListStream stream { { 4, 5, 6 } };
    QList<int> seen;
    Sequence::forEach(stream, [&](int v) { seen.append(v); return done(); });
    EXPECT_EQ(seen, QList<int>({ 4, 5, 6 }));

    ListStream failing { { 4, 5, 6 }, 1 };
    seen.clear();
    EXPECT_THROW(Sequence::forEach(failing, [&](int v) { seen.append(v); return done(); }), std::runtime_error);
    EXPECT_EQ(seen, QList<int>({ 4 }));

    ListStream search { { 4, 5, 6 } };
    EXPECT_EQ(Sequence::firstIndex(search, [](int v) { return later(v > 4); }), 1);
    ListStream none { { 1, 2 } };
    EXPECT_EQ(Sequence::firstIndex(none, [](int v) { return later(v > 4); }), std::nullopt);
}

} // namespace
