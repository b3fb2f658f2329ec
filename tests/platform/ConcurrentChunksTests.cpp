// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ConcurrentChunks.h"

#include <QList>

#include <gtest/gtest.h>

#include <memory>

// Clearing on all cores frees what every element held, once; a list another
// holder shares keeps its elements for that holder.
TEST(ConcurrentChunksTest, ClearingFreesEveryElementOnceAndLeavesASharedListAlone)
{
    for (const qsizetype count : { qsizetype(0), qsizetype(5), qsizetype(50'001) }) {
        const auto held = std::make_shared<int>(7);
        QList<std::shared_ptr<int>> list = listMadeConcurrently<std::shared_ptr<int>>(count, 1000, [&](qsizetype) { return held; });
        ASSERT_EQ(held.use_count(), count + 1);

        const QList<std::shared_ptr<int>> kept = list;
        clearConcurrently(list, 1000);
        EXPECT_TRUE(list.isEmpty());
        ASSERT_EQ(kept.size(), count);
        EXPECT_EQ(held.use_count(), count + 1) << "the other holder's elements stay";

        QList<std::shared_ptr<int>> own = kept;
        own.detach();
        ASSERT_EQ(held.use_count(), 2 * count + 1);
        clearConcurrently(own, 1000);
        EXPECT_TRUE(own.isEmpty());
        EXPECT_EQ(held.use_count(), count + 1) << count;
    }
}
