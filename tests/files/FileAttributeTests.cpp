// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileAttribute.h"

#include <gtest/gtest.h>

TEST(FileAttributeTest, CaseInsensitiveLookupFindsTheFirstMatchingKey)
{
    const QDateTime modified(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    FileAttributes attributes;
    attributes.attributes.insert("Date-Modified", { "Date-Modified", "Date-Modified", AttributeValue::date(modified) });
    attributes.attributes.insert("kind", { "kind", "kind", AttributeValue::string("Folder") });

    const auto found = attributes["date-modified"];
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->attributeValue.dateValue(), modified);
    EXPECT_EQ(attributes["KIND"]->attributeValue.stringValue(), QString("Folder"));
    EXPECT_FALSE(attributes["date"].has_value());
    EXPECT_FALSE(FileAttributes {}["kind"].has_value());
}

TEST(FileAttributeTest, EachValueAnswersOnlyItsOwnCase)
{
    const auto number = AttributeValue::number(QVariant::fromValue<qint64>(42));
    EXPECT_EQ(number.kind(), AttributeValue::Case::number);
    EXPECT_EQ(number.numberValue()->toLongLong(), 42);
    EXPECT_FALSE(number.dateValue().has_value());
    EXPECT_FALSE(number.stringValue().has_value());
    EXPECT_FALSE(AttributeValue::string("2024").dateValue().has_value());
}
