// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttribute+add.h"

#include <QDateTime>
#include <QTimeZone>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QVariant stored(const FileAttributeDictionary& attributes, const QString& key)
{
    const auto attribute = attributes.value(key);
    if (const auto text = attribute.attributeValue.stringValue())
        return *text;
    if (const auto number = attribute.attributeValue.numberValue())
        return *number;
    return attribute.attributeValue.dateValue().value_or(QDateTime());
}

TEST(FileAttributeValues, ValueRules)
{
    EXPECT_EQ(FileAttributeValues::make("tags", QStringList { "a/b", "c:d" }).attributeValue,
        AttributeValue::string(QString::fromUtf8("a:b,c\uA789d")));
    EXPECT_EQ(FileAttributeValues::make("{GPS}.Latitude", "Latitude", 37.774929).attributeValue,
        AttributeValue::number(37.7749));
    EXPECT_EQ(FileAttributeValues::make("{GPS}.Latitude", "Latitude", -0.00005).attributeValue,
        AttributeValue::number(-0.0001));
    EXPECT_EQ(FileAttributeValues::make("{GPS}.Latitude", 37.774929).attributeValue, AttributeValue::number(37.774929));
    EXPECT_EQ(FileAttributeValues::make("Altitude", 37.774929).attributeValue, AttributeValue::number(37.774929));
    EXPECT_EQ(FileAttributeValues::make("x", "Latitude", 37.0).attributeValue, AttributeValue::number(qint64(37)));
    EXPECT_EQ(FileAttributeValues::make("inode", quint64(18446744073709551615ULL)).attributeValue,
        AttributeValue::number(quint64(18446744073709551615ULL)));
    EXPECT_EQ(FileAttributeValues::make("u", QUrl("file:///a%20b")).attributeValue, AttributeValue::string("file:///a%20b"));

    const QDateTime date = QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone("Asia/Tokyo"));
    EXPECT_EQ(FileAttributeValues::description(FileAttributeValues::make("d", date).attributeValue),
        "2023-11-14 22:13:20 +0000");
    EXPECT_EQ(FileAttributeValues::description(AttributeValue::number(0.004)), "0.004");
    EXPECT_EQ(FileAttributeValues::intValue(AttributeValue::number(-2.7)), -2);
    EXPECT_FALSE(FileAttributeValues::intValue(AttributeValue::string("3")).has_value());
}

TEST(AttributeDictionary, MergeRules)
{
    FileAttributeDictionary attributes;
    AttributeDictionary::add(attributes, "genre", QString("Pop"));
    AttributeDictionary::add(attributes, "genre", QString("Rock"));
    AttributeDictionary::add(attributes, "GENRE", QString("Rock"));
    AttributeDictionary::add(attributes, "genre", QString("Pop,Rock"));
    EXPECT_EQ(stored(attributes, "genre"), "Pop,Rock");
    // A text inside a stored one is still a value of its own.
    AttributeDictionary::add(attributes, "genre", QString("Ro"));
    EXPECT_EQ(stored(attributes, "genre"), "Pop,Rock,Ro");
    EXPECT_EQ(attributes.size(), 1);
    AttributeDictionary::add(attributes, "style", QString("Progressive Rock"));
    AttributeDictionary::add(attributes, "style", QString("Rock"));
    EXPECT_EQ(stored(attributes, "style"), "Progressive Rock,Rock");

    AttributeDictionary::add(attributes, "media-title", QString("A"));
    AttributeDictionary::add(attributes, "media-title", QString("B"));
    EXPECT_EQ(stored(attributes, "media-title"), "A");

    AttributeDictionary::add(attributes, "{Exif}.Flash", 16);
    AttributeDictionary::add(attributes, "{exif}.flash", 5);
    EXPECT_EQ(stored(attributes, "{Exif}.Flash"), qint64(16));
    EXPECT_FALSE(attributes.contains("{exif}.flash"));

    AttributeDictionary::add(attributes, "empty", QVariantList {});
    EXPECT_FALSE(attributes.contains("empty"));
    AttributeDictionary::add(attributes, "sizes", QVariantList { 100, 200 });
    AttributeDictionary::add(attributes, "sizes", QVariantList { 1 });
    EXPECT_EQ(stored(attributes, "sizes"), "100, 200");
    AttributeDictionary::add(attributes, "paths", QStringList { "x/y", "z" });
    EXPECT_EQ(stored(attributes, "paths"), "x/y, z") << "joined lists are not cleaned";

    AttributeDictionary::add(attributes, "n", 3);
    AttributeDictionary::add(attributes, "n", QString("three"));
    EXPECT_EQ(stored(attributes, "n"), "three") << "a text replaces a number";
    AttributeDictionary::add(attributes, "absent", QVariant());
    EXPECT_FALSE(attributes.contains("absent"));

    AttributeDictionary::add(attributes, "Kind", QString("old"));
    AttributeDictionary::add(attributes, Basic::kind, QString("Folder"));
    EXPECT_EQ(stored(attributes, "Kind"), "Folder") << "basic attributes replace, under the stored key";
    EXPECT_EQ(attributes.value("Kind").id, "kind");

    AttributeDictionary::add(attributes, "media-title", QString("A"));
    AttributeDictionary::set(attributes, "Media-Title", QString("C"));
    EXPECT_EQ(stored(attributes, "media-title"), "A");
    EXPECT_EQ(stored(attributes, "Media-Title"), "C");

    EXPECT_TRUE(AttributeDictionary::value(attributes, "GENRE").has_value());
    EXPECT_FALSE(AttributeDictionary::value(FileAttributes().attributes, "kind").has_value());
}

TEST(AttributeDictionary, AddsFromPropertyDictionaries)
{
    const QVariantMap properties { { "PixelWidth", 640 },
        { "{Exif}", QVariantMap { { "ExposureTime", 0.004 }, { "ISOSpeedRatings", QVariantList { 100, 400 } } } },
        { "{GPS}", QVariantMap { { "Latitude", 51.500049 } } }, { "{TIFF}", QString("not a dictionary") } };
    FileAttributeDictionary attributes;
    AttributeDictionary::add(attributes, properties, "PixelWidth");
    AttributeDictionary::add(attributes, properties, "{Exif}", QString("ExposureTime"));
    AttributeDictionary::add(attributes, properties, "{Exif}", QString("ISOSpeedRatings"));
    AttributeDictionary::add(attributes, properties, "{GPS}", QString("Latitude"));
    AttributeDictionary::add(attributes, properties, "{TIFF}", QString("Make"));
    AttributeDictionary::add(attributes, properties, "{Exif}", QString("Missing"));
    EXPECT_EQ(attributes.keys(), (QStringList { "PixelWidth", "{Exif}.ExposureTime", "{Exif}.ISOSpeedRatings", "{GPS}.Latitude" }));
    EXPECT_EQ(attributes.value("{Exif}.ExposureTime").label, "ExposureTime");
    EXPECT_EQ(stored(attributes, "{Exif}.ISOSpeedRatings"), "100, 400");
    EXPECT_EQ(stored(attributes, "{GPS}.Latitude"), 51.5);
}

} // namespace
