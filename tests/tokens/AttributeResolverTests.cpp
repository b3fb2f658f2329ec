// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include "core/Preference.h"
#include "files/File.h"
#include "tokens/AttributeResolver.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/GPSAddressResolver.h"
#include "tokens/GPSCache.h"
#include "tokens/TransformError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unicode/locid.h>

#include <sys/xattr.h>

namespace {

class AttributeResolution : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedLocale = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkpath("Trips/Rome"));
        path = folder.path() + "/Trips/Rome/IMG_0001.jpg";
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("12345");
        out.close();
        AttributeResolver::setGPSAddressResolver(std::make_shared<GPSAddressResolver>(cache, nullptr));
    }
    void TearDown() override
    {
        AttributeResolver::setGPSAddressResolver(nullptr);
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(savedLocale, status);
    }

    File file(std::optional<FileAttributeDictionary> attributes) const
    {
        File result(QUrl::fromLocalFile(path), false);
        if (attributes)
            result.attributes = FileAttributes { *attributes };
        return result;
    }

    GPSCache cache;

    QString quick(const TokenItem& item, File f) const
    {
        return AttributeResolver::resolvedAttributesQuick(TokenString(item), f);
    }
    QString full(const TokenItem& item, File f) const
    {
        return AttributeResolver::resolvedAttributes(TokenString(item), f);
    }

    QTemporaryDir folder;
    QString path;
    icu::Locale savedLocale;
};

TokenItem item(const QString& key, std::function<void(TokenItem&)> change = {})
{
    TokenItem result = TokenItem::attribute(key);
    if (change)
        change(result);
    return result;
}

TEST_F(AttributeResolution, EachKindOfToken)
{
    FileAttributeDictionary attributes;
    const QDateTime modified = QDateTime::fromString("2024-05-01T22:30:00Z", Qt::ISODate);
    AttributeDictionary::add(attributes, Basic::dateModified, modified);
    AttributeDictionary::add(attributes, "media-sequence", 7);
    AttributeDictionary::add(attributes, "id3-track", QString("3/12"));
    AttributeDictionary::add(attributes, "id3-disc", QString("x"));
    AttributeDictionary::add(attributes, "media-bitrate", 127.456);
    AttributeDictionary::add(attributes, "media-artist", QString("AC/DC: Live"));
    AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", 10.5731);
    AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QString("S"));
    AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", 4.9);
    AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QString("W"));
    const File loaded = file(attributes);

    const struct {
        const char* name;
        TokenItem item;
        const char* text;
    } cases[] = {
        { "date in its zone", item("date-modified", [](TokenItem& i) { i.timeZone = "Asia/Tokyo"; }), "2024-05-02 07꞉30" },
        { "date with slashes", item("DATE-MODIFIED", [](TokenItem& i) { i.dateFormat = "yyyy/MM/dd"; i.timeZone = "UTC"; }), "2024:05:01" },
        { "number digits", item("media-sequence", [](TokenItem& i) { i.numberDigits = 3; }), "007" },
        { "numbers in text", item("id3-track"), "03:12" },
        { "unreadable number text", item("id3-disc"), "00" },
        { "decimal", item("media-bitrate", [](TokenItem& i) { i.numberDigits = 1; }), "127.5" },
        { "cleaned text", item("media-artist"), "AC:DC꞉ Live" },
        { "coordinate", item("{GPS}.Latitude"), "10° 34' 23.16'' S" },
        { "decimal coordinate", item("{GPS}.Longitude", [](TokenItem& i) { i.gpsFormat = 1; }), "-4.9" },
        { "coordinate key in other case", item("{gps}.longitude"), "4.9" },
        { "original name", item("original-filename"), "IMG_0001" },
        { "parent folder", item("parent-directory-1"), "Rome" },
        { "folder above", item("parent-directory-2"), "Trips" },
        { "beyond the root", item("parent-directory-99"), "" },
        { "missing attribute drops prefix", item("media-title", [](TokenItem& i) { i.prefix = "["; i.suffix = "]"; }), "" },
        { "prefix and suffix", item("original-filename", [](TokenItem& i) { i.prefix = "["; i.suffix = "]"; }), "[IMG_0001]" },
        { "literal text", TokenItem::string("abc"), "abc" },
        { "address without cache", item("GPS-AddressCity"), "" },
    };
    Preference::set(false, PreferenceKey::gpsAddressLookup);
    for (const auto& c : cases) {
        EXPECT_EQ(quick(c.item, loaded), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(full(c.item, loaded), QString::fromUtf8(c.text)) << c.name;
    }
    TokenItem literal = TokenItem::string("abc");
    literal.prefix = "[";
    literal.suffix = "]";
    EXPECT_EQ(quick(literal, loaded), "[abc]");
    File none = file(std::nullopt);
    EXPECT_EQ(AttributeResolver::resolvedAttributesQuick(TokenString(), none), "");
}

// A position a fraction of a second of arc from 0° 0', tagged by exiftool
// (tests/tokens/fixtures/README.md), read back as exiftool reads it.
TEST_F(AttributeResolution, AFractionOfASecondKeepsItsHemisphere)
{
    const File photo = file(FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(BF_FIXTURE_DIR "/gps-0.36s-south-west.jpg")));
    const struct {
        const char* key;
        int gpsFormat;
        const char* text;
    } cases[] = {
        { "{GPS}.Latitude", 0, "0° 0' 0.36'' S" },
        { "{GPS}.Latitude", 1, "-0.0001" },
        { "{GPS}.Longitude", 0, "0° 0' 0.36'' W" },
        { "{GPS}.Longitude", 1, "-0.0001" },
    };
    for (const auto& c : cases) {
        const TokenItem token = item(c.key, [&](TokenItem& i) { i.gpsFormat = c.gpsFormat; });
        EXPECT_EQ(full(token, photo), QString::fromUtf8(c.text)) << c.key << " " << c.gpsFormat;
    }
}

// A token that puts nothing into the name says so on the file's row, as a
// failed address lookup does: a photo without a date is not silently "_.jpg".
TEST_F(AttributeResolution, ATokenWithoutAValueWarnsOnTheRow)
{
    FileAttributeDictionary attributes;
    AttributeDictionary::add(attributes, "media-title", QString());
    FileAttributeDictionary placed = attributes;
    AttributeDictionary::add(placed, "{GPS}.Latitude", "Latitude", 10.5);
    AttributeDictionary::add(placed, "{GPS}.LatitudeRef", QString("N"));
    AttributeDictionary::add(placed, "{GPS}.Longitude", "Longitude", 4.9);
    AttributeDictionary::add(placed, "{GPS}.LongitudeRef", QString("E"));
    const QString none = QStringLiteral("No %1: the file has no such value");
    const struct {
        const char* name;
        TokenItem item;
        const FileAttributeDictionary* attributes;
        QStringList warnings;
    } cases[] = {
        { "no EXIF date", item("{Exif}.DateTimeOriginal"), &attributes, { none.arg("{Exif}.DateTimeOriginal") } },
        { "an empty title, prefix and all", item("media-title", [](TokenItem& i) { i.prefix = "["; }), &attributes,
            { none.arg("media-title") } },
        { "beyond the root", item("parent-directory-99"), &attributes, { none.arg("parent-directory-99") } },
        { "an address without a position", item("GPS-AddressCity"), &attributes, { none.arg("GPS-AddressCity") } },
        { "an address on its way", item("GPS-AddressCity"), &placed, {} },
        { "a value", item("original-filename"), &attributes, {} },
        { "empty literal text", TokenItem::string(""), &attributes, {} },
    };
    for (const auto& c : cases) {
        File quickFile = file(*c.attributes);
        AttributeResolver::resolvedAttributesQuick(TokenString(c.item), quickFile);
        EXPECT_EQ(quickFile.transformed.resolutionWarnings, c.warnings) << c.name;
    }
    // Said once for a token used twice.
    File twice = file(attributes);
    AttributeResolver::resolvedAttributesQuick(TokenString(QList<TokenItem> { item("media-title"), item("media-title") }), twice);
    EXPECT_EQ(twice.transformed.resolutionWarnings, QStringList { none.arg("media-title") });
}

TEST_F(AttributeResolution, QuickResolutionWaitsForAttributes)
{
    File notLoaded = file(std::nullopt);
    for (const char* key : { "date-now", "original-filename", "kind" })
        EXPECT_THROW(quick(item(key), notLoaded), TransformError) << key;
    EXPECT_EQ(full(item("original-filename"), notLoaded), "IMG_0001");
    TokenItem now = item("date-now", [](TokenItem& i) { i.dateFormat = "HH:mm"; });
    EXPECT_TRUE(full(now, notLoaded).contains(QChar(0xA789)));
    EXPECT_EQ(quick(TokenItem::string("x"), notLoaded), "x");

    const TokenString text(QList<TokenItem> { TokenItem::string("a"), item("date-modified") });
    EXPECT_EQ(text.resolvedAttributesQuick(notLoaded), "");
    EXPECT_TRUE(notLoaded.transformed.lateUpdateRequired);
}

TEST_F(AttributeResolution, AddressesComeFromTheCache)
{
    FileAttributeDictionary attributes;
    AttributeDictionary::add(attributes, "{GPS}.Latitude", "Latitude", 10.123456);
    AttributeDictionary::add(attributes, "{GPS}.LatitudeRef", QString("N"));
    AttributeDictionary::add(attributes, "{GPS}.Longitude", "Longitude", 20.654321);
    AttributeDictionary::add(attributes, "{GPS}.LongitudeRef", QString("W"));
    const File located = file(attributes);

    Preference::set(true, PreferenceKey::gpsAddressLookup);
    EXPECT_THROW(quick(item("GPS-AddressCity"), located), TransformError);
    EXPECT_EQ(full(item("GPS-AddressCity"), located), "") << "no geocoder to ask";
    EXPECT_EQ(quick(item("GPS-AddressCity"), file(FileAttributeDictionary {})), "") << "no position";
    Preference::set(false, PreferenceKey::gpsAddressLookup);
    EXPECT_EQ(quick(item("GPS-AddressCity"), located), "");

    GPSAddress address;
    address.addressCity = "Springfield";
    address.addressCountry = "Utopia";
    // Stored at city precision (2 decimals) and at country precision (1 decimal) only.
    GPSCache partial(GPSAddressMap { { "10.12,-20.65", address }, { "10.1,-20.7", address } });
    AttributeResolver::setGPSAddressResolver(std::make_shared<GPSAddressResolver>(partial, nullptr));
    Preference::set(true, PreferenceKey::gpsAddressLookup);
    EXPECT_EQ(quick(item("GPS-AddressCity", [](TokenItem& i) { i.prefix = "in "; }), located), "in Springfield");
    EXPECT_EQ(quick(item("GPS-AddressCountry"), located), "Utopia");
    EXPECT_THROW(quick(item("GPS-AddressStreet"), located), TransformError) << "street precision is not cached";
}

TEST_F(AttributeResolution, BasicAttributesOfAFile)
{
    // Some temporary file systems keep no user attributes; the tags are checked where they do.
    const bool tagged = lsetxattr(QFile::encodeName(path).constData(), "user.xdg.tags", "Red,A/B", 7, 0) == 0;
    const FileAttributeDictionary attributes = FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(path));
    EXPECT_EQ(attributes.value("kind").attributeValue, AttributeValue::string("JPEG image"));
    EXPECT_EQ(attributes.value("content-type").attributeValue, AttributeValue::string("image/jpeg"));
    EXPECT_TRUE(attributes.value("date-modified").attributeValue.dateValue().has_value());
    EXPECT_FALSE(attributes.contains("date-added-to-directory"));
    EXPECT_EQ(attributes.value("file-size").attributeValue, AttributeValue::string("5 bytes"));
    EXPECT_TRUE(attributes.value("inode").attributeValue.numberValue().has_value());
    const std::optional<QString> volume = attributes.value("volume").attributeValue.stringValue();
    ASSERT_TRUE(volume.has_value());
    EXPECT_TRUE(volume->startsWith('/') && volume->endsWith('/')) << volume->toStdString();
    EXPECT_TRUE(path.startsWith(*volume)) << volume->toStdString();
    if (tagged)
        EXPECT_EQ(attributes.value("tags").attributeValue, AttributeValue::string("Red,A:B"));

    const FileAttributeDictionary folderAttributes = FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(folder.path() + "/Trips/"));
    EXPECT_EQ(folderAttributes.value("kind").attributeValue, AttributeValue::string("Folder"));
    EXPECT_FALSE(folderAttributes.contains("tags"));

    const FileAttributeDictionary missing = FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(folder.path() + "/none.txt"));
    EXPECT_TRUE(missing.contains("kind"));
    EXPECT_FALSE(missing.contains("date-modified"));
}

} // namespace
