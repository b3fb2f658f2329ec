// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenDetailsList.h"
#include "tokens/TokenItem.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QStringList ids(const QList<TokenDetailsRef>& list)
{
    QStringList result;
    for (const auto& details : list)
        result << details->tokenId();
    return result;
}

// Recipes store these ids; each must be found, with the kind that keeps its settings.
TEST(TokenCatalog, BuiltInCatalogHoldsEveryNamedToken)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    ASSERT_GT(catalog.count(), 0) << "the built-in resource did not load";

    const struct {
        const char* type;
        QStringList ids;
    } kinds[] = {
        { "date", { "date-created", "date-modified", "date-added-to-directory", "date-content-access", "date-now",
                      "media-date", "{Exif}.DateTimeOriginal", "{Exif}.DateTimeDigitized", "AV-media-creation-date",
                      "AV-release-date", "FLAC-Date", "id3-recording-time" } },
        { "gps", { "{GPS}.Latitude", "{GPS}.Longitude" } },
        { "number", { "inode", "media-width", "media-height", "media-samplerate", "media-sequence", "media-sequence-total",
                        "{Exif}.Flash", "{Exif}.ISOSpeed", "{ExifAux}.ImageNumber", "id3-track", "id3-track-total",
                        "id3-disc", "id3-disc-total", "FLAC-Tracknumber", "FLAC-Tracknumber-Total", "FLAC-Track-Total",
                        "FLAC-Discnumber", "FLAC-Discnumber-Total", "FLAC-Disc-Total", "AV-track-number",
                        "AV-track-number-total", "AV-disc-number", "AV-disc-number-total", "AV-image-width",
                        "AV-image-height" } },
        { "decimal", { "media-bitrate", "media-framerate", "{GPS}.Altitude" } },
        { "string", { "kind", "content-type", "file-size", "tags", "volume", "parent-directory", "original-filename",
                        "media-duration", "media-title", "media-album", "media-artist", "{Exif}.ExposureTime",
                        "{Exif}.FlashDescription", "{Exif}.FlashFired", "{Exif}.ISOSpeedRatings",
                        "{Exif}.OffsetTimeDigitized", "{Exif}.OffsetTimeOriginal", "{Exif}.SubsecTimeDigitized",
                        "{Exif}.SubsecTimeOriginal", "{GPS}.LatitudeRef", "{GPS}.LongitudeRef", "GPS-AddressStreet",
                        "GPS-AddressCity", "GPS-AddressZIP", "GPS-AddressCountry", "GPS-AddressState", "GPS-AddressName",
                        "GPS-AddressSubAdministrativeArea", "GPS-AddressThoroughfare", "GPS-AddressSubThoroughfare",
                        "GPS-FormattedAddress", "AV-album", "AV-album-artist", "AV-artist", "AV-author", "AV-composer",
                        "AV-composer-name", "AV-cover-art", "AV-disc-number-of", "AV-image-size", "AV-performer",
                        "AV-predefined-genre", "AV-song-name", "AV-title", "AV-track-number-of", "FLAC-Album",
                        "FLAC-Artist", "FLAC-Discnumber-Of", "FLAC-Title", "FLAC-Tracknumber-Of", "id3-album",
                        "id3-band", "id3-composer", "id3-conductor", "id3-disc-of", "id3-group", "id3-lead-performer",
                        "id3-title", "id3-track-of", "id3-year" } },
    };
    for (const auto& kind : kinds) {
        for (const QString& id : kind.ids) {
            const TokenDetailsRef details = catalog[id];
            ASSERT_TRUE(details) << qPrintable(id);
            EXPECT_EQ(details->tokenId(), id) << "spelled exactly as recipes store it";
            EXPECT_EQ(details->type(), QLatin1String(kind.type)) << qPrintable(id);
        }
    }
    EXPECT_EQ(catalog[QStringLiteral("{gps}.longitude")]->tokenId(), "{GPS}.Longitude");
}

TEST(TokenCatalog, ReaderEntriesFormTheirOwnIds)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    for (const auto& list : { catalog.exifTokenDetails, catalog.gpsTokenDetails }) {
        for (const auto& details : list) {
            const QString formed = details->subKey() ? details->key() + "." + *details->subKey() : details->key();
            EXPECT_EQ(formed, details->tokenId());
        }
    }
    for (const char* key : { "PixelWidth", "PixelHeight" })
        EXPECT_TRUE(catalog[QString::fromLatin1(key)]);
    EXPECT_EQ(catalog.regexTokenDetails.size(), 1);
    EXPECT_EQ(catalog.id3TokenDetailsDictionary.value("id3/TIT2")->tokenId(), "id3-title");
    for (TokenCategory category : TokenCategories::allCases()) {
        const bool present = std::any_of(catalog.allTokens.cbegin(), catalog.allTokens.cend(),
            [&](const TokenDetailsRef& d) { return d->category() == category; });
        EXPECT_EQ(present, category != TokenCategory::regex) << qPrintable(TokenCategories::rawValue(category));
    }
}

TokenDetailsList load(const char* json)
{
    return TokenDetailsList::fromJson(QByteArray(json));
}

TEST(TokenCatalog, LoadingRules)
{
    const TokenDetailsList catalog = load(R"({
        "BASIC": [{"tokenId": "b", "type": "string", "description": "B", "key": "b"},
                  {"tokenId": "A", "type": "string", "description": "A", "key": "a"},
                  {"tokenId": "c", "type": "date", "key": "c"},
                  {"tokenId": "file-name", "key": "n"}],
        "MEDIA": [5],
        "EXIF": [{"tokenId": "zz", "key": "{Exif}", "subkey": "Alpha"}, {"tokenId": "yy", "key": "{Exif}", "subkey": "beta"}],
        "ID3": [{"tokenId": "c", "type": "number", "key": "id3/X"}],
        "REGEX": [{"tokenId": "regex", "type": "regex", "key": "regex"}],
        "FLAC": {"tokenId": "x"}
    })");
    EXPECT_EQ(ids(catalog.basicTokenDetails), (QStringList { "b", "A", "c", "file-name" }));
    EXPECT_EQ(ids(catalog.allTokens), (QStringList { "A", "b", "c", "file-name", "zz", "yy", "c" }));
    EXPECT_EQ(catalog[qsizetype(1)]->tokenId(), "A");
    EXPECT_FALSE(catalog[qsizetype(7)]);
    EXPECT_EQ(catalog.count(), 7);
    EXPECT_TRUE(catalog.mediaTokenDetails.isEmpty());
    EXPECT_TRUE(catalog.flacTokenDetails.isEmpty());
    EXPECT_EQ(catalog[QStringLiteral("c")]->category(), TokenCategory::id3) << "the entry read last wins";
    EXPECT_EQ(catalog[QStringLiteral("FILE-NAME")]->tokenId(), "file-name");
    EXPECT_EQ(catalog[QStringLiteral("file-name")]->tokenDescription(), "\nUNDEFINED");
    EXPECT_EQ(catalog[QStringLiteral("file-name")]->type(), "UNDEFINED_TYPE");
    EXPECT_EQ(catalog[QStringLiteral("regex")]->category(), TokenCategory::regex);
    EXPECT_EQ(*catalog[QStringLiteral("zz")]->subKey(), "Alpha");
    EXPECT_FALSE(catalog[QStringLiteral("nothing")]);

    const TokenDetailsList empty = load("not json");
    EXPECT_EQ(empty.count(), 0);
    EXPECT_TRUE(empty.allTokens.isEmpty());
}

TEST(TokenCatalog, EntryEqualityAndItem)
{
    const QJsonObject a = QJsonDocument::fromJson(R"({"tokenId": "x", "key": "k", "subkey": "s"})").object();
    const QJsonObject b = QJsonDocument::fromJson(R"({"tokenId": "x", "key": "k"})").object();
    const TokenDetails first(a, TokenCategory::exif);
    const TokenDetails second(a, TokenCategory::gps);
    EXPECT_EQ(first, second);
    EXPECT_EQ(qHash(first), qHash(second));
    EXPECT_FALSE(first == TokenDetails(b, TokenCategory::exif));
    EXPECT_EQ(first.tokenItem(), TokenItem::attribute("x"));
}

} // namespace
