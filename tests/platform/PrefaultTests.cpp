// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Prefault.h"

#include <QList>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

// Mapping pages ahead must never touch what a buffer already holds: the
// rounded range can begin inside memory in use.
TEST(PrefaultTest, WhatABufferHoldsIsKeptAndTheRestCanBeFilled)
{
    std::vector<unsigned char> buffer((std::size_t(1) << 22) + 123);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<unsigned char>(i * 7 + 1);
    Prefault::forWriting(buffer.data() + 17, buffer.size() - 17);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], static_cast<unsigned char>(i * 7 + 1)) << "at " << i;
    // Chunk by chunk, as threads filling their own parts map them, ends inside pages included.
    for (std::size_t at = 5; at < buffer.size(); at += 40'000)
        Prefault::chunkForWriting(buffer.data() + at, std::min<std::size_t>(40'000, buffer.size() - at));
    for (std::size_t i = 0; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], static_cast<unsigned char>(i * 7 + 1)) << "at " << i;

    QList<qint64> list { 1, 2, 3 };
    list.reserve(1 << 18);
    Prefault::reservedCapacityOf(list);
    EXPECT_EQ(list, (QList<qint64> { 1, 2, 3 }));
    for (qint64 i = 4; i <= (1 << 18); ++i)
        list.append(i);
    EXPECT_EQ(list.size(), 1 << 18);
    EXPECT_EQ(list.last(), 1 << 18);
}
