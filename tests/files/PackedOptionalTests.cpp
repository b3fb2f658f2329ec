// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/PackedOptional.h"

#include <gtest/gtest.h>

// Every value a record can hold must survive, also the small and the zero ones;
// only the reserved value means "none".
TEST(PackedOptionalTest, HoldsEveryValueButNoneAndConvertsLikeStdOptional)
{
    for (const qint64 size : { qint64(0), qint64(-1), qint64(1) << 40, std::numeric_limits<qint64>::max() }) {
        const PackedOptional<qint64> packed = size;
        ASSERT_TRUE(packed.has_value()) << size;
        EXPECT_EQ(*packed, size);
        EXPECT_EQ(std::optional<qint64>(packed), std::optional<qint64>(size));
    }
    for (const quint64 inode : { quint64(0), quint64(1), std::numeric_limits<quint64>::max() - 1 }) {
        EXPECT_EQ(PackedOptional<quint64>(inode).value_or(7), inode);
    }
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    EXPECT_EQ(PackedOptional<QDateTime>(epoch), epoch);
    EXPECT_TRUE(PackedOptional<QUrl>(QUrl::fromLocalFile("/")).has_value());

    PackedOptional<QDateTime> date;
    EXPECT_FALSE(date.has_value());
    EXPECT_EQ(std::optional<QDateTime>(date), std::nullopt);
    EXPECT_THROW(date.value(), std::bad_optional_access);
    date = std::optional<QDateTime>(epoch);
    EXPECT_TRUE(date.has_value());
    date = std::nullopt;
    EXPECT_FALSE(date);

    // Equal as std::optional is: two nones are equal, a none equals no value.
    EXPECT_EQ(PackedOptional<qint64>(), PackedOptional<qint64>(std::nullopt));
    EXPECT_FALSE(PackedOptional<qint64>() == qint64(0));
    EXPECT_FALSE(PackedOptional<qint64>(0) == PackedOptional<qint64>());
}
