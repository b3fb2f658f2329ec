// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <gtest/gtest.h>

TEST(Log, FormatsReadThePlatformMarkersAsPlainConversions)
{
    const QString name = QStringLiteral("Open");
    EXPECT_EQ(Log::format("%{public}s took %ld ms", name, 42), "Open took 42 ms");
    EXPECT_EQ(Log::format("%s: %{public}@", name, QStringLiteral("error")), "Open: error");
    EXPECT_EQ(Log::format("%{public}s at %{public}ld", name, qint64(7)), "Open at 7");
    EXPECT_EQ(Log::format("%ld %{bool}d %{bool}d", qint64(3), true, false), "3 1 0");
    EXPECT_EQ(Log::format("%{private}s %lu", name, 3u), "Open 3");
    EXPECT_EQ(Log::format("100%% of %s", name), "100% of Open");
}
