// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaFileFolder.h"
#include "MediaFixtures.h"
#include "TestEnvironment.h"

#include "tokens/FileAttribute+add.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/ImageProperties.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <functional>

#include <gtest/gtest.h>

namespace {

QVariant stored(const FileAttributeDictionary& attributes, const QString& key)
{
    const auto attribute = AttributeDictionary::value(attributes, key);
    if (!attribute)
        return {};
    if (const auto text = attribute->attributeValue.stringValue())
        return *text;
    if (const auto number = attribute->attributeValue.numberValue())
        return *number;
    return *attribute->attributeValue.dateValue();
}

FileAttributeDictionary fromProperties(const QVariantMap& exif, const QVariantMap& topLevel = {})
{
    QVariantMap properties = topLevel;
    properties.insert("{Exif}", exif);
    FileAttributeDictionary attributes;
    FileAttributeUtil::imageAttributes(properties, attributes);
    return attributes;
}

TEST(ImageAttributes, ExposureTimesBecomeShortTexts)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        { 0.004, "1:250" }, { 0.5, "1:2" }, { 0.6, "1s" }, { 1.0, "1s" }, { 2.5, "2.5s" }, { 90.0, "1m30s" },
    };
    for (const auto& c : cases) {
        const auto attributes = fromProperties({ { "ExposureTime", c.seconds } });
        EXPECT_EQ(stored(attributes, "{Exif}.ExposureTime"), QString(c.text)) << c.seconds;
        EXPECT_EQ(AttributeDictionary::value(attributes, "{Exif}.ExposureTime")->label, "ExposureTime");
    }
}

TEST(ImageAttributes, FlashValuesGiveDescriptionAndFired)
{
    const struct {
        int value;
        const char* description;
        const char* fired;
    } cases[] = {
        { 0, "No Flash", "No flash" },
        { 16, "Flash Off", "No flash" },
        { 17, "Flash Off", "Flash" },
        { 25, "Flash Auto, Fired", "Flash" },
        { 24, "Flash Auto, Not Fired", "No flash" },
        { 5, "Flash, Fired, Return Not Detected", "Flash" },
        { 95, "Flash Auto, Fired, Return Detected, Red-eye Reduction", "Flash" },
        { 127, "Flash Auto, Fired, Return Detected, No Flash Function, Red-eye Reduction", "Flash" },
    };
    for (const auto& c : cases) {
        const auto attributes = fromProperties({ { "Flash", c.value } });
        EXPECT_EQ(stored(attributes, "{Exif}.FlashDescription"), QString(c.description)) << c.value;
        EXPECT_EQ(stored(attributes, "{Exif}.FlashFired"), QString(c.fired)) << c.value;
        EXPECT_EQ(AttributeDictionary::value(attributes, "{Exif}.FlashFired")->label, "FlashFired");
    }
}

TEST(ImageAttributes, IsoSpeedIsTheFirstWholeRating)
{
    EXPECT_EQ(stored(fromProperties({ { "ISOSpeedRatings", QVariantList { 100, 400 } } }), "{Exif}.ISOSpeed"), qint64(100));
    EXPECT_FALSE(stored(fromProperties({ { "ISOSpeedRatings", "ISO 100" } }), "{Exif}.ISOSpeed").isValid());
    // A rating held as a number is no list of ratings.
    EXPECT_FALSE(stored(fromProperties({ { "ISOSpeedRatings", 100 } }), "{Exif}.ISOSpeed").isValid());
}

TEST(ImageAttributes, DatesWithOffsetFractionAndTheirFallbacks)
{
    const QDateTime withOffset = QDateTime(QDate(2023, 5, 1), QTime(10, 0, 0, 500), Qt::UTC);
    auto attributes = fromProperties({ { "DateTimeOriginal", "2023:05:01 12:00:00" }, { "OffsetTimeOriginal", "+02:00" },
        { "SubsecTimeOriginal", "5" } });
    EXPECT_EQ(stored(attributes, "{Exif}.DateTimeOriginal").toDateTime(), withOffset);
    EXPECT_EQ(stored(attributes, "media-date").toDateTime(), withOffset);

    // A blank offset reads the date in the current time zone instead of losing it.
    const QDateTime local = QDateTime(QDate(2023, 5, 1), QTime(12, 0), QTimeZone::systemTimeZone());
    attributes = fromProperties({ { "DateTimeDigitized", "2023:05:01 12:00:00" }, { "OffsetTimeDigitized", "   " },
        { "DateTimeOriginal", "2020:01:01 00:00:00" }, { "OffsetTimeOriginal", "+00:00" } });
    EXPECT_EQ(stored(attributes, "{Exif}.DateTimeDigitized").toDateTime(), local);
    EXPECT_EQ(stored(attributes, "media-date").toDateTime(), local) << "the digitized date wins";

    // An unreadable date stays text and gives no media date.
    attributes = fromProperties({ { "DateTimeOriginal", "sometime" } });
    EXPECT_EQ(stored(attributes, "{Exif}.DateTimeOriginal"), "sometime");
    EXPECT_FALSE(stored(attributes, "media-date").isValid());
}

class ImageFiles : public MediaFileFolder {};

TEST_F(ImageFiles, ACameraJpegGivesItsExifAndGpsValues)
{
    const QString jpeg = path("photo.jpg");
    ASSERT_TRUE(MediaFixtures::writeJpeg(jpeg, &MediaFixtures::cameraExif));
    const FileAttributeDictionary attributes = load(jpeg);

    EXPECT_EQ(stored(attributes, "PixelWidth"), qint64(16));
    EXPECT_EQ(stored(attributes, "media-width"), qint64(16));
    EXPECT_EQ(stored(attributes, "media-height"), qint64(8));
    EXPECT_EQ(stored(attributes, "Orientation"), qint64(6));
    EXPECT_EQ(stored(attributes, "{TIFF}.Make"), "Brackenfold Optics");
    EXPECT_EQ(stored(attributes, "{TIFF}.Model"), "BF-1");
    EXPECT_EQ(stored(attributes, "{Exif}.LensModel"), "BF 35mm F2.8");
    EXPECT_EQ(stored(attributes, "{Exif}.FNumber"), 2.8);
    EXPECT_EQ(stored(attributes, "{Exif}.FocalLength"), qint64(35));
    EXPECT_EQ(stored(attributes, "{Exif}.ExposureTime"), "1:250");
    EXPECT_EQ(stored(attributes, "{Exif}.FlashDescription"), "Flash Auto, Fired");
    EXPECT_EQ(stored(attributes, "{Exif}.ISOSpeedRatings"), "100, 400");
    EXPECT_EQ(stored(attributes, "{Exif}.ISOSpeed"), qint64(100));
    EXPECT_EQ(stored(attributes, "media-sequence"), qint64(42));
    EXPECT_EQ(stored(attributes, "media-date").toDateTime(), QDateTime(QDate(2023, 5, 1), QTime(10, 0, 0, 500), Qt::UTC));

    // 33° 51' 24.6'' S, 151° 12' 36'' E; the reference "s " reads as "S".
    EXPECT_EQ(stored(attributes, "{GPS}.LatitudeRef"), "S");
    EXPECT_EQ(stored(attributes, "{GPS}.Latitude"), 33.8568);
    EXPECT_EQ(AttributeDictionary::value(attributes, "{GPS}.Latitude")->label, "Latitude");
    EXPECT_EQ(stored(attributes, "{GPS}.LongitudeRef"), "E");
    EXPECT_EQ(stored(attributes, "{GPS}.Longitude"), 151.21);
    EXPECT_EQ(stored(attributes, "{GPS}.Altitude"), 58.5);
}

// EXIF as real writers leave it, each case on top of the camera photo.
TEST_F(ImageFiles, ExifValuesInTheFormsWritersLeaveThem)
{
    const auto asciiTag = [](Exiv2::ExifData& exif, const char* key, const char* text) {
        exif.erase(exif.findKey(Exiv2::ExifKey(key)));
        Exiv2::AsciiValue value;
        value.read(text);
        exif.add(Exiv2::ExifKey(key), &value);
    };
    const struct {
        const char* name;
        std::function<void(Exiv2::ExifData&)> tag;
        QMap<QString, QVariant> expected; // an invalid value: absent
    } cases[] = {
        { "gps-as-text",
            [&](Exiv2::ExifData& exif) {
                asciiTag(exif, "Exif.GPSInfo.GPSLatitude", "52,0,50.1");
                asciiTag(exif, "Exif.GPSInfo.GPSLongitude", "4/1 30/1 0/1");
            },
            { { "{GPS}.Latitude", 52.0139 }, { "{GPS}.Longitude", 4.5 } } },
        { "gps-text-not-numbers",
            [&](Exiv2::ExifData& exif) { asciiTag(exif, "Exif.GPSInfo.GPSLatitude", "north"); },
            { { "{GPS}.Latitude", QVariant() } } },
        { "below-sea-level",
            [](Exiv2::ExifData& exif) { exif["Exif.GPSInfo.GPSAltitudeRef"] = uint8_t(1); },
            { { "{GPS}.Altitude", -58.5 } } },
        { "above-sea-level",
            [](Exiv2::ExifData& exif) { exif["Exif.GPSInfo.GPSAltitudeRef"] = uint8_t(0); },
            { { "{GPS}.Altitude", 58.5 } } },
        { "latitude-out-of-range",
            [](Exiv2::ExifData& exif) {
                Exiv2::URationalValue latitude;
                latitude.read("1040187440/1 0/1 0/1");
                exif["Exif.GPSInfo.GPSLatitude"].setValue(&latitude);
            },
            { { "{GPS}.Latitude", QVariant() }, { "{GPS}.Longitude", QVariant() }, { "{GPS}.LatitudeRef", QVariant() },
                { "{GPS}.Altitude", 58.5 } } },
        { "longitude-out-of-range",
            [](Exiv2::ExifData& exif) {
                Exiv2::URationalValue longitude;
                longitude.read("181/1 0/1 0/1");
                exif["Exif.GPSInfo.GPSLongitude"].setValue(&longitude);
            },
            { { "{GPS}.Latitude", QVariant() }, { "{GPS}.Longitude", QVariant() } } },
        { "edge-of-range",
            [](Exiv2::ExifData& exif) {
                Exiv2::URationalValue longitude;
                longitude.read("180/1 0/1 0/1");
                exif["Exif.GPSInfo.GPSLongitude"].setValue(&longitude);
            },
            { { "{GPS}.Longitude", qint64(180) } } },
        { "unknown-date",
            [](Exiv2::ExifData& exif) {
                exif["Exif.Photo.DateTimeOriginal"] = "0000:00:00 00:00:00";
                exif["Exif.Photo.DateTimeDigitized"] = "    :  :     :  :  ";
            },
            { { "{Exif}.DateTimeOriginal", QVariant() }, { "{Exif}.DateTimeDigitized", QVariant() },
                { "media-date", QVariant() } } },
        { "unknown-original-date-known-digitized",
            [](Exiv2::ExifData& exif) {
                exif["Exif.Photo.DateTimeOriginal"] = "0000:00:00 00:00:00";
                exif["Exif.Photo.DateTimeDigitized"] = "2020:02:03 04:05:06";
                exif["Exif.Photo.OffsetTimeDigitized"] = "+00:00";
            },
            { { "media-date", QDateTime(QDate(2020, 2, 3), QTime(4, 5, 6), Qt::UTC) } } },
        { "image-number-in-the-exif-directory",
            [](Exiv2::ExifData& exif) {
                exif.erase(exif.findKey(Exiv2::ExifKey("Exif.Image.ImageNumber")));
                exif["Exif.Photo.0x9211"] = uint32_t(7);
            },
            { { "{ExifAux}.ImageNumber", qint64(7) }, { "media-sequence", qint64(7) } } },
        { "image-number-in-both-directories",
            [](Exiv2::ExifData& exif) { exif["Exif.Photo.0x9211"] = uint32_t(7); },
            { { "{ExifAux}.ImageNumber", qint64(42) }, { "media-sequence", qint64(42) } } },
    };
    for (const auto& c : cases) {
        const QString jpeg = path(QString::fromLatin1(c.name) + ".jpg");
        ASSERT_TRUE(MediaFixtures::writeJpeg(jpeg, [&](Exiv2::ExifData& exif) {
            MediaFixtures::cameraExif(exif);
            c.tag(exif);
        })) << c.name;
        const FileAttributeDictionary attributes = load(jpeg);
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(stored(attributes, it.key()), it.value()) << c.name << " " << it.key().toStdString();
    }
}

// What an edited photo keeps in its XMP.
void editedXmp(Exiv2::XmpData& xmp)
{
    xmp["Xmp.tiff.Make"] = "Xmp Optics";
    xmp["Xmp.tiff.Model"] = "XMP-2";
    xmp["Xmp.exif.DateTimeOriginal"] = "2021-08-09T10:11:12.25+01:00";
    xmp["Xmp.xmp.CreateDate"] = "2021-08-09T10:11:13Z";
}

QByteArray xmpPacket(const std::function<void(Exiv2::XmpData&)>& tag)
{
    Exiv2::XmpData xmp;
    tag(xmp);
    std::string packet;
    Exiv2::XmpParser::encode(packet, xmp);
    return QByteArray::fromStdString(packet);
}

// Photos whose EXIF lacks the capture date, make or model take them from the
// XMP; HEIC photos, whose EXIF and XMP Exiv2 does not find, are read through
// libheif, with the size of the whole image rather than of its first tile.
TEST_F(ImageFiles, HeicPhotosAndXmpFallbacks)
{
    const auto noExif = [](Exiv2::ExifData&) {};
    const auto datesOnly = [](Exiv2::ExifData& exif) { exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 93); };
    const QDateTime cameraDate(QDate(2023, 5, 1), QTime(10, 0, 0, 500), Qt::UTC);
    const QDateTime xmpOriginal(QDate(2021, 8, 9), QTime(9, 11, 12, 250), Qt::UTC);
    const QDateTime xmpCreated(QDate(2021, 8, 9), QTime(10, 11, 13), Qt::UTC);
    const struct {
        const char* name;
        std::function<bool(const QString&)> write;
        QMap<QString, QVariant> expected; // an invalid value: absent
    } cases[] = {
        { "camera.heic", [&](const QString& file) { return MediaFixtures::writeHeic(file, 48, 48, &MediaFixtures::cameraExif); },
            { { "PixelWidth", qint64(48) }, { "PixelHeight", qint64(48) }, { "media-width", qint64(48) },
                { "{TIFF}.Make", "Brackenfold Optics" }, { "{Exif}.ExposureTime", "1:250" }, { "{Exif}.ISOSpeed", qint64(100) },
                { "{Exif}.DateTimeOriginal", cameraDate }, { "media-date", cameraDate }, { "media-sequence", qint64(42) },
                { "{GPS}.LatitudeRef", "S" }, { "{GPS}.Latitude", 33.8568 }, { "{GPS}.Longitude", 151.21 } } },
        { "wide.heic", [&](const QString& file) { return MediaFixtures::writeHeic(file, 96, 40, noExif); },
            { { "PixelWidth", qint64(96) }, { "PixelHeight", qint64(40) }, { "{TIFF}.Make", QVariant() },
                { "media-date", QVariant() } } },
        { "edited.heic",
            [&](const QString& file) { return MediaFixtures::writeHeic(file, 64, 64, datesOnly, xmpPacket(&editedXmp)); },
            { { "PixelWidth", qint64(64) }, { "{Exif}.ExposureTime", "1:93" }, { "{TIFF}.Make", "Xmp Optics" },
                { "{TIFF}.Model", "XMP-2" }, { "{Exif}.DateTimeOriginal", xmpOriginal },
                { "{Exif}.DateTimeDigitized", xmpCreated }, { "media-date", xmpCreated } } },
        { "edited.jpg", [&](const QString& file) { return MediaFixtures::writeJpeg(file, datesOnly, &editedXmp); },
            { { "PixelWidth", qint64(16) }, { "{TIFF}.Make", "Xmp Optics" }, { "{Exif}.DateTimeOriginal", xmpOriginal },
                { "media-date", xmpCreated } } },
        { "exif-wins.jpg", [&](const QString& file) { return MediaFixtures::writeJpeg(file, &MediaFixtures::cameraExif, &editedXmp); },
            { { "{TIFF}.Make", "Brackenfold Optics" }, { "{TIFF}.Model", "BF-1" }, { "{Exif}.DateTimeOriginal", cameraDate },
                { "{Exif}.DateTimeDigitized", xmpCreated }, { "media-date", xmpCreated } } },
    };
    for (const auto& c : cases) {
        const QString file = path(c.name);
        ASSERT_TRUE(c.write(file)) << c.name;
        const FileAttributeDictionary attributes = load(file);
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it) {
            const QVariant value = stored(attributes, it.key());
            EXPECT_EQ(value, it.value()) << c.name << " " << it.key().toStdString() << ": " << value.toString().toStdString();
        }
    }
}

TEST_F(ImageFiles, DamagedOrForeignImagesAddNothingBeyondTheBasics)
{
    const QString whole = path("whole.jpg");
    ASSERT_TRUE(MediaFixtures::writeJpeg(whole, &MediaFixtures::cameraExif));
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();

    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        { "cut-in-exif.jpg", bytes.left(60) },
        { "cut-after-header.jpg", bytes.left(4) },
        { "text.jpg", QByteArray("not an image at all") },
        { "empty.jpg", QByteArray() },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(MediaFixtures::writeBytes(path(c.name), c.content));
        const FileAttributeDictionary attributes = load(path(c.name));
        EXPECT_TRUE(attributes.contains("kind")) << c.name;
        for (const QString& key : attributes.keys())
            EXPECT_FALSE(key.startsWith("{") || key.startsWith("media-") || key.startsWith("Pixel")) << c.name << " " << key.toStdString();
    }
}

// Exiv2 recognises video containers too, and its readers of those are not
// safe on damaged files: a movie is no image, whatever its name says.
TEST_F(ImageFiles, MoviesAreNotReadAsImagesWhateverTheirName)
{
    const QString movie = path("holiday.jpg");
    ASSERT_TRUE(MediaFixtures::writeMovie(movie, "mov", { { "title", "Holiday" } }));
    EXPECT_FALSE(ImageProperties::read(movie).has_value());
    const QString photo = path("photo.jpg");
    ASSERT_TRUE(MediaFixtures::writeJpeg(photo, &MediaFixtures::cameraExif));
    EXPECT_TRUE(ImageProperties::read(photo).has_value());
}

} // namespace
