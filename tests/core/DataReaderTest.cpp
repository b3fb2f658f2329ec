// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Data+reader.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

TEST(DataReader, integers)
{
    QByteArray data = bytes("1234");
    EXPECT_EQ(Data::takeUInt16BigEndian(data), 0x1234);
    EXPECT_TRUE(data.isEmpty());

    data = bytes("12");
    EXPECT_EQ(Data::takeUInt16BigEndian(data), std::nullopt);
    EXPECT_EQ(data, bytes("12"));

    data = bytes("00000100");
    EXPECT_EQ(Data::takeUInt32BigEndian(data), 256);
    data = bytes("00010000");
    EXPECT_EQ(Data::takeUInt32LittleEndian(data), 256);
    data = bytes("FFFFFFFF");
    EXPECT_EQ(Data::takeUInt32BigEndian(data), 0xFFFFFFFFll);

    data = bytes("0000000000000001");
    EXPECT_EQ(Data::takeUInt64BigEndian(data), 1u);
    data = bytes("FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Data::takeUInt64BigEndian(data), ~quint64(0));
    data = bytes("000000000000");
    EXPECT_EQ(Data::takeUInt64BigEndian(data), std::nullopt);
    EXPECT_EQ(data.size(), 2);
    data = bytes("000000");
    EXPECT_EQ(Data::takeUInt64BigEndian(data), std::nullopt);
    EXPECT_EQ(data.size(), 3);

    const struct { const char* hex; qint64 value; } syncSafe[] = {
        { "00000201", 257 }, { "7F7F7F7F", 268435455 }, { "000000FF", 255 },
    };
    for (const auto& c : syncSafe) {
        QByteArray d = bytes(c.hex);
        EXPECT_EQ(Data::takeSynchronizationSafeUInt32BigEndian(d), c.value) << c.hex;
    }

    data = bytes("AB");
    EXPECT_EQ(Data::takeByte(data), 0xAB);
    EXPECT_EQ(Data::takeByte(data), std::nullopt);
}

TEST(DataReader, consecutiveTakesReadConsecutiveFields)
{
    QByteArray data = bytes("01" "0203" "04050607");
    EXPECT_EQ(Data::takeByte(data), 1);
    EXPECT_EQ(Data::takeUInt16BigEndian(data), 0x0203);
    EXPECT_EQ(Data::takeUInt32LittleEndian(data), 0x07060504);
    EXPECT_TRUE(data.isEmpty());
}

TEST(DataReader, textsAndRuns)
{
    QByteArray data("abcdef");
    EXPECT_EQ(Data::takeString(data, 3), QString("abc"));
    EXPECT_EQ(data, "def");

    data = "abcd";
    EXPECT_EQ(Data::takeString(data, 10), QString(""));
    EXPECT_EQ(data, "abcd");
    EXPECT_EQ(Data::takeString(data, -1), QString(""));
    EXPECT_EQ(data, "abcd");

    data = bytes("FFFE");
    EXPECT_EQ(Data::takeString(data, 2), std::nullopt);
    EXPECT_TRUE(data.isEmpty());

    data = QByteArray("a\0b", 3);
    EXPECT_EQ(Data::takeString(data, 3), QString::fromUtf8("a\0b", 3));

    data = bytes("00410042");
    EXPECT_EQ(Data::takeString(data, 4, QStringConverter::Utf16BE), QString("AB"));

    data = "xyz";
    EXPECT_TRUE(Data::takeData(data, 0).isEmpty());
    EXPECT_TRUE(Data::takeData(data, -3).isEmpty());
    EXPECT_TRUE(Data::takeData(data, 4).isEmpty());
    EXPECT_EQ(data, "xyz");
    EXPECT_EQ(Data::takeData(data, 2), "xy");
    EXPECT_EQ(data, "z");
}

TEST(DataReader, nonConsumingReads)
{
    const QByteArray data = bytes("0000010099");
    EXPECT_EQ(Data::uint32BigEndian(data), 256);
    EXPECT_EQ(Data::uint32LitleEndian(bytes("00010000")), 256);
    EXPECT_EQ(Data::uint32BigEndian(bytes("0102")), 0);
    EXPECT_EQ(Data::string(QByteArray("hello")), QString("hello"));
    EXPECT_EQ(Data::string(bytes("FF")), std::nullopt);
    EXPECT_EQ(Data::string(QByteArray("hello"), 2), QString("he"));
    EXPECT_EQ(Data::string(QByteArray("hello"), 99), QString("hello"));
    EXPECT_EQ(Data::string(QByteArray("hello"), -2), QString(""));
}

TEST(DataReader, hexText)
{
    EXPECT_EQ(Data::hexEncodedString(bytes("0AFF")), "0AFF");
    EXPECT_EQ(Data::hexEncodedString(bytes("0AFF"), {}), "0aff");
    EXPECT_EQ(Data::hexEncodedString(bytes("0AFF"), Data::HexEncodingOption::upperCase), "0AFF");
    EXPECT_EQ(Data::hexEncodedString(QByteArray()), "");

    const struct { const char* text; QByteArray expected; } cases[] = {
        { "0a ff", bytes("0AFF") },
        { "abc", bytes("AB0C") },
        { "xyz!", QByteArray() },
        { "0a:1B\n2c3D", bytes("0A1B2C3D") },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Data::fromHexEncodedString(c.text), c.expected) << c.text;
}

} // namespace
