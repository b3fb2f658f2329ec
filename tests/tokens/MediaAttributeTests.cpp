// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaFileFolder.h"
#include "MediaFixtures.h"
#include "TestEnvironment.h"

#include "tokens/FileAttribute+add.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/MediaAsset.h"
#include "tokens/TokenDetailsList.h"

#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

QVariant stored(const FileAttributeDictionary& attributes, const QString& key)
{
    const auto it = attributes.constFind(key);
    if (it == attributes.cend())
        return {};
    if (const auto text = it->attributeValue.stringValue())
        return *text;
    if (const auto number = it->attributeValue.numberValue())
        return *number;
    return *it->attributeValue.dateValue();
}

QList<TokenDetailsRef> mediaCatalog()
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    return catalog.avTokenDetails + catalog.id3TokenDetails + catalog.flacTokenDetails;
}

FileAttributeDictionary fromItems(const QList<MediaItem>& items)
{
    MediaAsset asset;
    asset.metadata = items;
    FileAttributeDictionary attributes;
    FileAttributeUtil::avAssetAttributes(asset, "song.mp3", attributes, mediaCatalog());
    return attributes;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (int v : values)
        data.append(char(v));
    return data;
}

TEST(MediaAttributes, Iso6709Locations)
{
    using Components = QList<std::pair<QString, QVariant>>;
    const struct {
        const char* text;
        std::optional<Components> components;
    } cases[] = {
        { "+40.7484-073.9857+010.000/", Components { { "{GPS}.LatitudeRef", "N" }, { "{GPS}.Latitude", 40.7484 },
                                              { "{GPS}.LongitudeRef", "W" }, { "{GPS}.Longitude", 73.9857 },
                                              { "{GPS}.Altitude", 10.0 } } },
        // Without an altitude the position is still a position.
        { "-33.856812+151.215298/", Components { { "{GPS}.LatitudeRef", "S" }, { "{GPS}.Latitude", 33.85681 },
                                        { "{GPS}.LongitudeRef", "E" }, { "{GPS}.Longitude", 151.2153 } } },
        { "at +1.5+2.25-3/ here", Components { { "{GPS}.LatitudeRef", "N" }, { "{GPS}.Latitude", 1.5 },
                                      { "{GPS}.LongitudeRef", "E" }, { "{GPS}.Longitude", 2.25 }, { "{GPS}.Altitude", -3.0 } } },
        { "+40.74.84-073.9857/", Components { { "{GPS}.LatitudeRef", "N" }, { "{GPS}.Latitude", 0.0 },
                                     { "{GPS}.LongitudeRef", "W" }, { "{GPS}.Longitude", 73.9857 } } },
        // Beyond the poles or the date line: a damaged text, no position.
        { "+90.5+002.2945/", std::nullopt },
        { "-45.0-180.01/", std::nullopt },
        { "+40.7484-073.9857", std::nullopt },
        { "New York", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& c : cases) {
        const auto components = FileAttributeUtil::toISO6709GPSComponents(c.text);
        ASSERT_EQ(components.has_value(), c.components.has_value()) << c.text;
        if (!components)
            continue;
        ASSERT_EQ(components->size(), c.components->size()) << c.text;
        for (qsizetype i = 0; i < components->size(); ++i) {
            EXPECT_EQ(components->at(i).first, c.components->at(i).first) << c.text;
            EXPECT_DOUBLE_EQ(components->at(i).second.toDouble(), c.components->at(i).second.toDouble()) << c.text;
            if (c.components->at(i).second.metaType().id() == QMetaType::QString)
                EXPECT_EQ(components->at(i).second, c.components->at(i).second) << c.text;
        }
    }
}

TEST(MediaAttributes, ExtractTrackNumbers)
{
    using FileAttributeUtil::TrackNumbers;
    const struct {
        const char* text;
        std::optional<TrackNumbers> numbers;
    } cases[] = {
        { "3/12", TrackNumbers { 3, 12 } }, { "3", TrackNumbers { 3, std::nullopt } },
        { "/12", TrackNumbers { 12, std::nullopt } }, { "a/12", TrackNumbers { 0, 12 } },
        { "3/x", TrackNumbers { 3, std::nullopt } }, { "+7//9", TrackNumbers { 7, 9 } },
        { " 3", TrackNumbers { 0, std::nullopt } }, { "1/2/3", std::nullopt }, { "", std::nullopt }, { "//", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileAttributeUtil::extractTrackNumbers(c.text), c.numbers) << c.text;
}

TEST(MediaAttributes, BinaryTrackDiscGenreAndCoverValues)
{
    const struct {
        const char* id;
        QByteArray data;
        QMap<QString, QVariant> expected;
    } cases[] = {
        { "AV-track-number", bytes({ 0, 0, 0, 3, 0, 12, 0, 0 }),
            { { "AV-track-number", qint64(3) }, { "AV-track-number-total", qint64(12) }, { "AV-track-number-of", "03/12" },
                { "media-sequence", qint64(3) }, { "media-sequence-total", qint64(12) } } },
        { "AV-track-number", bytes({ 0, 0, 0, 3, 0, 1 }),
            { { "AV-track-number", qint64(3) }, { "AV-track-number-total", qint64(1) }, { "AV-track-number-of", "03" },
                { "media-sequence", qint64(3) }, { "media-sequence-total", qint64(1) } } },
        // Numbers above 255 stay whole.
        { "AV-track-number", bytes({ 0, 0, 1, 44, 1, 144, 0, 0 }),
            { { "AV-track-number", qint64(300) }, { "AV-track-number-total", qint64(400) },
                { "AV-track-number-of", "300/400" }, { "media-sequence", qint64(300) }, { "media-sequence-total", qint64(400) } } },
        { "AV-track-number", bytes({ 0, 0, 0, 3, 0 }), {} },
        { "AV-disc-number", bytes({ 0, 0, 0, 1, 0, 2, 0, 0 }),
            { { "AV-disc-number", qint64(1) }, { "AV-disc-number-total", qint64(2) }, { "AV-disc-number-of", "01/02" },
                { "media-sequence", qint64(1) }, { "media-sequence-total", qint64(2) } } },
        { "AV-predefined-genre", bytes({ 0, 18 }), { { "AV-predefined-genre", "Rock" } } },
        { "AV-predefined-genre", bytes({ 0, 1 }), { { "AV-predefined-genre", "Blues" } } },
        { "AV-predefined-genre", bytes({ 0, 192 }), { { "AV-predefined-genre", "Psybient" } } },
        { "AV-predefined-genre", bytes({ 0, 0 }), {} },
        { "AV-predefined-genre", bytes({ 0, 193 }), {} },
        { "AV-predefined-genre", bytes({ 18 }), {} },
        { "AV-cover-art", bytes({ 1, 2, 3 }), { { "AV-cover-art", "Cover art available" } } },
        { "AV-cover-art", QByteArray(), {} },
        { "AV-other", bytes({ 1, 2, 3 }), { { "AV-other", "3 bytes" } } },
    };
    for (const auto& c : cases) {
        FileAttributeDictionary attributes;
        FileAttributeUtil::avDataAttributes(c.id, c.data, attributes);
        QMap<QString, QVariant> actual;
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
            actual.insert(it.key(), stored(attributes, it.key()));
        EXPECT_EQ(actual, c.expected) << c.id << " " << c.data.toHex().toStdString();
    }
}

TEST(MediaAttributes, TheTrackNumberWinsTheSequenceWhateverTheOrder)
{
    for (bool discFirst : { true, false }) {
        FileAttributeDictionary attributes;
        const QByteArray track = bytes({ 0, 0, 0, 7, 0, 9 });
        const QByteArray disc = bytes({ 0, 0, 0, 2, 0, 3 });
        FileAttributeUtil::avDataAttributes(discFirst ? "AV-disc-number" : "AV-track-number", discFirst ? disc : track, attributes);
        FileAttributeUtil::avDataAttributes(discFirst ? "AV-track-number" : "AV-disc-number", discFirst ? track : disc, attributes);
        EXPECT_EQ(stored(attributes, "media-sequence"), qint64(7)) << discFirst;
        EXPECT_EQ(stored(attributes, "media-sequence-total"), qint64(9)) << discFirst;
    }
    FileAttributeDictionary discOnly;
    FileAttributeUtil::avDataAttributes("AV-disc-number", bytes({ 0, 0, 0, 2, 0, 3 }), discOnly);
    EXPECT_EQ(stored(discOnly, "media-sequence"), qint64(2));
}

// Items in the order a file lists them, and what the attributes then hold.
TEST(MediaAttributes, Id3AndFlacSequenceAggregation)
{
    const struct {
        QList<MediaItem> items;
        QMap<QString, QVariant> expected; // only these keys are checked
        QStringList absent;
    } cases[] = {
        { { { "id3/TRCK", "3/12" } },
            { { "id3-track", qint64(3) }, { "id3-track-total", qint64(12) }, { "id3-track-of", "03/12" },
                { "media-sequence", qint64(3) }, { "media-sequence-total", qint64(12) } } },
        { { { "id3/TRCK", "3" } }, { { "id3-track", qint64(3) }, { "media-sequence", qint64(3) } },
            { "id3-track-total", "id3-track-of", "media-sequence-total" } },
        { { { "id3/TRCK", "1/2/3" } }, { { "id3-track", "1/2/3" } }, { "media-sequence" } },
        { { { "id3/TRCK", "" } }, { { "id3-track", "" } }, { "media-sequence" } },
        { { { "id3/TPOS", "1/2" }, { "id3/TRCK", "5/9" } },
            { { "id3-disc", qint64(1) }, { "id3-disc-total", qint64(2) }, { "id3-disc-of", "01/02" },
                { "id3-track", qint64(5) }, { "media-sequence", qint64(5) }, { "media-sequence-total", qint64(2) } } },
        { { { "vorb/TRACKNUMBER", "3" }, { "vorb/TRACKTOTAL", "10" } },
            { { "FLAC-Tracknumber", qint64(3) }, { "FLAC-Tracknumber-Total", qint64(10) }, { "FLAC-Tracknumber-Of", "03/10" },
                { "media-sequence", qint64(3) }, { "media-sequence-total", qint64(10) } },
            { "FLAC-Track-Total" } },
        { { { "vorb/TRACKTOTAL", "x" } }, { { "FLAC-Track-Total", "x" } }, { "FLAC-Tracknumber-Total" } },
        { { { "vorb/DISCNUMBER", "2/3" }, { "vorb/DISCTOTAL", "4" } },
            { { "FLAC-Discnumber", qint64(2) }, { "FLAC-Discnumber-Total", qint64(4) }, { "FLAC-Discnumber-Of", "02/04" },
                { "media-sequence", qint64(2) }, { "media-sequence-total", qint64(3) } },
            { "FLAC-Disc-Total" } },
    };
    for (const auto& c : cases) {
        const FileAttributeDictionary attributes = fromItems(c.items);
        const QString label = c.items.first().identifier + "=" + c.items.first().value.toString();
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(stored(attributes, it.key()), it.value()) << label.toStdString() << " " << it.key().toStdString();
        for (const QString& key : c.absent)
            EXPECT_FALSE(attributes.contains(key)) << label.toStdString() << " " << key.toStdString();
    }
}

TEST(MediaAttributes, TrackTotalAfterTheTrackGivesTheOfText)
{
    auto attributes = fromItems({ { "id3/TRCK", "3" } });
    FileAttributeUtil::aggregateDerivedID3SequenceAttributes("id3-track-total", "12", attributes);
    EXPECT_EQ(stored(attributes, "id3-track-of"), "03/12");
    FileAttributeDictionary before;
    FileAttributeUtil::aggregateDerivedID3SequenceAttributes("id3-track-total", "12", before);
    EXPECT_EQ(stored(before, "media-sequence-total"), qint64(12));
    EXPECT_FALSE(before.contains("id3-track-of"));
}

TEST(MediaAttributes, FormatIndependentAttributesTakeTheFirstItem)
{
    auto attributes = fromItems({ { "itsk/%A9nam", "Song A" }, { "id3/TIT2", "Song B" }, { "id3/TPE1", "Ann" },
        { "vorb/ARTIST", "Bob" }, { "id3/TALB", "Album" }, { "id3/TCON", "Rock" }, { "id3/TCON", "Pop" } });
    EXPECT_EQ(stored(attributes, "media-title"), "Song A");
    EXPECT_EQ(stored(attributes, "id3-title"), "Song B");
    EXPECT_EQ(stored(attributes, "media-artist"), "Ann");
    EXPECT_EQ(stored(attributes, "media-album"), "Album");
    EXPECT_EQ(stored(attributes, "id3-genre"), "Rock,Pop");

    attributes = fromItems({ { "id3/TYER", "2019" } });
    EXPECT_EQ(stored(attributes, "id3-year"), "2019") << "a bare year is no date of its own";
    EXPECT_EQ(stored(attributes, "media-date").toDateTime(), QDateTime(QDate(2019, 1, 1), QTime(0, 0), Qt::UTC));
    attributes = fromItems({ { "id3/TYER", "about 2019" } });
    EXPECT_EQ(stored(attributes, "media-date"), "about 2019");
    attributes = fromItems({ { "id3/TDRC", "2019-05-01T12:00:00Z" } });
    EXPECT_EQ(stored(attributes, "id3-recording-time").toDateTime(), QDateTime(QDate(2019, 5, 1), QTime(12, 0), Qt::UTC));
}

TEST(MediaAttributes, UnknownIdentifiersAreSkippedAndLoggedUnlessIgnored)
{
    LogCapture log;
    const auto attributes = fromItems({ { "id3/PRIV", "private" }, { "id3/XYZW", "odd" }, { "udta/%A9xyz", "+1.5+2.5/" } });
    EXPECT_FALSE(attributes.contains("id3/PRIV"));
    int unused = 0;
    for (const QString& line : log.lines())
        unused += line.contains("Unused metadata") ? 1 : 0;
    EXPECT_EQ(unused, 1);
    EXPECT_TRUE(log.contains("Unused metadata id3/XYZW 'odd' in song.mp3"));
    EXPECT_EQ(stored(attributes, "AV-location"), "+1.5+2.5/");
    EXPECT_EQ(stored(attributes, "{GPS}.Longitude"), 2.5);
    EXPECT_EQ(AttributeDictionary::value(attributes, "{GPS}.LongitudeRef")->label, "LongitudeRef");
}

TEST(MediaAttributes, ContainerFacts)
{
    const struct {
        double duration;
        const char* text;
    } durations[] = { { 0.3, "0s" }, { 42.4, "42s" }, { 59.6, "1m0s" }, { 205, "3m25s" }, { 3725, "1h2m5s" } };
    for (const auto& c : durations) {
        MediaAsset asset;
        asset.duration = c.duration;
        FileAttributeDictionary attributes;
        FileAttributeUtil::avAssetAttributes(asset, "a.mov", attributes, {});
        EXPECT_EQ(stored(attributes, "media-duration"), QString(c.text)) << c.duration;
    }

    MediaAsset asset;
    asset.firstTrack = MediaTrack { 256000, 29.97, 1920, 1080 };
    asset.sampleRate = 48000;
    asset.metadata = { { "itsk/%A9day", "2020" } };
    FileAttributeDictionary attributes;
    FileAttributeUtil::avAssetAttributes(asset, "a.mp4", attributes, mediaCatalog());
    EXPECT_EQ(stored(attributes, "media-bitrate"), qint64(256));
    EXPECT_EQ(stored(attributes, "media-framerate"), qint64(30));
    EXPECT_EQ(stored(attributes, "AV-image-size"), "1920x1080");
    EXPECT_EQ(stored(attributes, "media-width"), qint64(1920));
    EXPECT_EQ(stored(attributes, "AV-image-height"), qint64(1080));
    EXPECT_EQ(stored(attributes, "media-samplerate"), qint64(48000));
    EXPECT_EQ(stored(attributes, "media-date"), "2020");

    MediaAsset sizeless;
    sizeless.firstTrack = MediaTrack { 0, 0, 0, 0 };
    FileAttributeDictionary none;
    FileAttributeUtil::avAssetAttributes(sizeless, "a.mp3", none, {});
    EXPECT_TRUE(none.isEmpty());
}

class MediaFiles : public MediaFileFolder {};

TEST_F(MediaFiles, Mp3TagsWithTheirId3Identities)
{
    const QString mp3 = path("Song.MP3");
    ASSERT_TRUE(MediaFixtures::writeMp3(mp3, { { "TIT2", { "Title" } }, { "TIT1", { "Group" } }, { "TPE1", { "Ann", "Bob" } },
                                                { "TRCK", { "3/12" } }, { "TPOS", { "1/2" } }, { "TCON", { "17" } } }));
    const FileAttributeDictionary attributes = load(mp3);
    EXPECT_EQ(stored(attributes, "id3-title"), "Title");
    EXPECT_EQ(stored(attributes, "id3-group"), "Group");
    EXPECT_EQ(stored(attributes, "media-title"), "Group") << "the grouping frame comes first in the tag";
    EXPECT_EQ(stored(attributes, "id3-lead-performer"), "Ann,Bob");
    EXPECT_EQ(stored(attributes, "id3-genre"), "Rock");
    EXPECT_EQ(stored(attributes, "id3-track"), qint64(3));
    EXPECT_EQ(stored(attributes, "id3-track-of"), "03/12");
    EXPECT_EQ(stored(attributes, "id3-disc-of"), "01/02");
    EXPECT_EQ(stored(attributes, "media-sequence"), qint64(3));
    EXPECT_EQ(stored(attributes, "media-duration"), "5s");
    EXPECT_EQ(stored(attributes, "media-bitrate"), qint64(128));
    EXPECT_EQ(stored(attributes, "media-samplerate"), qint64(44100));
}

// ID3v2.3 keeps year, day and time in three frames, which TagLib joins; a file
// with ID3v1 only has its fields read as the ID3v2 frames of the same facts.
TEST_F(MediaFiles, Mp3DatesOfId3v23AndId3v1Fallback)
{
    const QDateTime recorded(QDate(2019, 5, 1), QTime(12, 30), Qt::UTC);
    const QDateTime newYear(QDate(2019, 1, 1), QTime(0, 0), Qt::UTC);
    const struct {
        const char* name;
        std::function<bool(const QString&)> write;
        QMap<QString, QVariant> expected; // an invalid value: absent
    } cases[] = {
        { "v23-full-date.mp3",
            [](const QString& file) {
                return MediaFixtures::writeMp3(file, { { "TDRC", { "2019-05-01T12:30" } }, { "TIT2", { "Song" } } }, 50,
                    TagLib::ID3v2::v3);
            },
            { { "id3-year", "2019" }, { "id3-recording-time", recorded }, { "media-date", recorded } } },
        { "v23-year.mp3",
            [](const QString& file) {
                return MediaFixtures::writeMp3(file, { { "TDRC", { "2019" } } }, 50, TagLib::ID3v2::v3);
            },
            { { "id3-year", "2019" }, { "media-date", newYear } } },
        { "v24-year.mp3",
            [](const QString& file) { return MediaFixtures::writeMp3(file, { { "TDRC", { "2019" } } }, 50); },
            { { "id3-year", QVariant() }, { "id3-recording-time", "2019" }, { "media-date", newYear } } },
        { "v1-only.mp3",
            [](const QString& file) {
                return MediaFixtures::writeId3v1Mp3(file, [](TagLib::ID3v1::Tag& tag) {
                    tag.setTitle("Old Song");
                    tag.setArtist("Old Band");
                    tag.setAlbum("Old Album");
                    tag.setYear(1999);
                    tag.setTrack(7);
                    tag.setGenre("Jazz");
                });
            },
            { { "id3-title", "Old Song" }, { "media-title", "Old Song" }, { "id3-lead-performer", "Old Band" },
                { "media-artist", "Old Band" }, { "id3-album", "Old Album" }, { "media-album", "Old Album" },
                { "id3-year", "1999" }, { "media-date", QDateTime(QDate(1999, 1, 1), QTime(0, 0), Qt::UTC) },
                { "id3-track", qint64(7) }, { "media-sequence", qint64(7) }, { "id3-genre", "Jazz" } } },
        { "v2-and-v1.mp3",
            [](const QString& file) {
                if (!MediaFixtures::writeMp3(file, { { "TIT2", { "New Song" } } }, 50))
                    return false;
                const QByteArray name = QFile::encodeName(file);
                TagLib::MPEG::File mp3(name.constData(), false);
                mp3.ID3v1Tag(true)->setArtist("Old Band");
                return mp3.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v4,
                    TagLib::File::DoNotDuplicate);
            },
            { { "id3-title", "New Song" }, { "id3-lead-performer", QVariant() }, { "media-artist", QVariant() } } },
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

// QuickTime and AVI tags and a WAV file's RIFF INFO come flattened from
// libavformat: artist, album, date, genre and track reach the catalog's tokens.
TEST_F(MediaFiles, ContainerTagsOfMovAviAndWav)
{
    const QMap<QString, QString> tags { { "title", "Clip" }, { "artist", "Ann" }, { "album", "Album" },
        { "date", "2019-05-01T10:00:00Z" }, { "genre", "Jazz" }, { "track", "3/12" } };
    const QDateTime date(QDate(2019, 5, 1), QTime(10, 0), Qt::UTC);
    const QMap<QString, QVariant> common { { "AV-song-name", "Clip" }, { "media-title", "Clip" }, { "AV-artist", "Ann" },
        { "media-artist", "Ann" }, { "AV-album", "Album" }, { "media-album", "Album" }, { "AV-genre", "Jazz" } };
    const struct {
        const char* name;
        std::function<bool(const QString&)> write;
        QMap<QString, QVariant> expected; // besides the common ones
    } cases[] = {
        { "movie.mov", [&](const QString& file) { return MediaFixtures::writeMovie(file, "mov", tags); },
            { { "AV-release-date", date }, { "media-date", date } } },
        { "movie.avi", [&](const QString& file) { return MediaFixtures::writeMovie(file, "avi", tags); },
            { { "AV-release-date", date }, { "media-date", date }, { "AV-track-number", qint64(3) },
                { "AV-track-number-of", "03/12" }, { "media-sequence", qint64(3) } } },
        { "sound.wav",
            [](const QString& file) {
                return MediaFixtures::writeWav(file, [](TagLib::RIFF::Info::Tag& tag) {
                    tag.setTitle("Clip");
                    tag.setArtist("Ann");
                    tag.setAlbum("Album");
                    tag.setGenre("Jazz");
                    tag.setYear(2019);
                    tag.setTrack(3);
                });
            },
            { { "AV-release-date", "2019" }, { "AV-track-number", qint64(3) }, { "media-sequence", qint64(3) },
                { "media-duration", "1s" } } },
    };
    for (const auto& c : cases) {
        const QString file = path(c.name);
        ASSERT_TRUE(c.write(file)) << c.name;
        LogCapture log;
        const FileAttributeDictionary attributes = load(file);
        QMap<QString, QVariant> expected = common;
        expected.insert(c.expected);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QVariant value = stored(attributes, it.key());
            EXPECT_EQ(value, it.value()) << c.name << " " << it.key().toStdString() << ": " << value.toString().toStdString();
        }
        for (const QString& line : log.lines()) {
            for (const char* identifier : { "%A9ART", "%A9alb", "%A9day", "%A9gen", "track" })
                EXPECT_FALSE(line.contains("Unused metadata") && line.contains(QLatin1String(identifier))) << line.toStdString();
        }
    }
}

TEST_F(MediaFiles, FlacVorbisComments)
{
    const QString flac = path("song.flac");
    ASSERT_TRUE(MediaFixtures::writeFlac(flac, { { "TITLE", { "Flac Title" } }, { "TRACKNUMBER", { "4" } },
                                                  { "TRACKTOTAL", { "9" } }, { "DATE", { "2021-06" } } }));
    const FileAttributeDictionary attributes = load(flac);
    EXPECT_EQ(stored(attributes, "FLAC-Title"), "Flac Title");
    EXPECT_EQ(stored(attributes, "media-title"), "Flac Title");
    EXPECT_EQ(stored(attributes, "FLAC-Tracknumber-Of"), "04/09");
    EXPECT_EQ(stored(attributes, "media-date").toDateTime(), QDateTime(QDate(2021, 6, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(stored(attributes, "media-duration"), "3s");
    EXPECT_EQ(stored(attributes, "media-samplerate"), qint64(44100));
}

// Made by sox and flac with a cover picture (tests/tokens/fixtures/README.md):
// the audio stream's own rate, not the file's with the picture in it.
TEST_F(MediaFiles, FlacBitrateIsTheAudioStreamsRate)
{
    const FileAttributeDictionary attributes = load(BF_FIXTURE_DIR "/noise-with-cover.flac");
    EXPECT_EQ(stored(attributes, "media-bitrate"), qint64(112)) << "the file as a whole is 149 kb/s";
    EXPECT_EQ(stored(attributes, "media-duration"), "1s");
    EXPECT_EQ(stored(attributes, "media-samplerate"), qint64(8000));
    EXPECT_EQ(stored(attributes, "FLAC-Title"), "Noise");
    EXPECT_FALSE(stored(attributes, "media-width").isValid()) << "the picture is no track";
}

TEST_F(MediaFiles, Mpeg4TagsAndTrackFacts)
{
    const QString m4a = path("clip.m4a");
    ASSERT_TRUE(MediaFixtures::writeMovie(m4a, "mp4", {}, 50));
    ASSERT_TRUE(MediaFixtures::tagMp4(m4a, "Clip", { 300, 312 }, { 1, 2 }));
    const FileAttributeDictionary attributes = load(m4a);
    EXPECT_EQ(stored(attributes, "AV-title"), "Clip");
    EXPECT_EQ(stored(attributes, "media-title"), "Clip");
    EXPECT_EQ(stored(attributes, "AV-track-number"), qint64(300));
    EXPECT_EQ(stored(attributes, "AV-track-number-of"), "300/312");
    EXPECT_EQ(stored(attributes, "AV-disc-number-of"), "01/02");
    EXPECT_EQ(stored(attributes, "media-sequence"), qint64(300));
    EXPECT_EQ(stored(attributes, "AV-cover-art"), "Cover art available");
    EXPECT_EQ(stored(attributes, "AV-image-size"), "16x8");
    EXPECT_EQ(stored(attributes, "media-framerate"), qint64(25));
    EXPECT_EQ(stored(attributes, "media-duration"), "2s");
}

// TagLib sorts MPEG-4 items by key; the file's own order decides which artist
// is the media artist. A numeric genre ("gnre", which the muxer cannot write:
// a genre text is patched into one) is a predefined genre, not a genre text.
TEST_F(MediaFiles, Mpeg4ItemsInTheOrderOfTheFile)
{
    const struct {
        const char* name;
        QMap<QString, QString> metadata;
        bool numericGenre;
        QMap<QString, QVariant> expected; // an invalid value: absent
    } cases[] = {
        { "artist-first.m4a", { { "artist", "Ann" }, { "album_artist", "Band" }, { "genre", "##" } }, true,
            { { "AV-artist", "Ann" }, { "AV-album-artist", "Band" }, { "media-artist", "Ann" },
                { "AV-predefined-genre", "Rock" }, { "AV-genre", QVariant() } } },
        { "album-artist-only.m4a", { { "album_artist", "Band" }, { "genre", "Jazz" } }, false,
            { { "AV-album-artist", "Band" }, { "media-artist", "Band" }, { "AV-genre", "Jazz" },
                { "AV-predefined-genre", QVariant() } } },
    };
    for (const auto& c : cases) {
        const QString m4a = path(c.name);
        ASSERT_TRUE(MediaFixtures::writeMovie(m4a, "mp4", c.metadata)) << c.name;
        if (c.numericGenre) {
            // Genre 18 is "Rock".
            ASSERT_TRUE(MediaFixtures::patchBytes(m4a, QByteArray("\xA9gen", 4), "gnre")) << c.name;
            ASSERT_TRUE(MediaFixtures::patchBytes(m4a, "##", QByteArray("\0\x12", 2))) << c.name;
        }
        const FileAttributeDictionary attributes = load(m4a);
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(stored(attributes, it.key()), it.value()) << c.name << " " << it.key().toStdString();
    }
}

TEST_F(MediaFiles, QuickTimeContainerTagsAndLocation)
{
    const QString mov = path("movie.mov");
    ASSERT_TRUE(MediaFixtures::writeMovie(mov, "mov",
        { { "title", "Holiday" }, { "location", "+48.8584+002.2945/" }, { "creation_time", "2022-07-14T09:30:00.000000Z" } }));
    const FileAttributeDictionary attributes = load(mov);
    EXPECT_EQ(stored(attributes, "AV-song-name"), "Holiday");
    EXPECT_EQ(stored(attributes, "media-title"), "Holiday");
    EXPECT_EQ(stored(attributes, "{GPS}.LatitudeRef"), "N");
    EXPECT_EQ(stored(attributes, "{GPS}.Latitude"), 48.8584);
    EXPECT_EQ(stored(attributes, "{GPS}.Longitude"), 2.2945);
    EXPECT_FALSE(attributes.contains("{GPS}.Altitude"));
    EXPECT_EQ(stored(attributes, "AV-media-creation-date").toDateTime(), QDateTime(QDate(2022, 7, 14), QTime(9, 30), Qt::UTC));
    EXPECT_EQ(stored(attributes, "media-width"), qint64(16));
}

TEST_F(MediaFiles, DamagedMediaAddsNothingBeyondTheBasics)
{
    const QString whole = path("whole.mp4");
    ASSERT_TRUE(MediaFixtures::writeMovie(whole, "mp4", { { "title", "x" } }, 10));
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray movie = source.readAll();
    const QByteArray mp3 = MediaFixtures::mp3Frames(3);
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        { "cut.mp4", movie.left(movie.size() / 2) },
        { "header-only.mp4", movie.left(24) },
        { "text.mov", QByteArray("plain text, no movie") },
        { "empty.m4a", QByteArray() },
        { "noise.avi", QByteArray(4096, '\x5a') },
        { "two-bytes.mp3", mp3.left(2) },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(MediaFixtures::writeBytes(path(c.name), c.content));
        const FileAttributeDictionary attributes = load(path(c.name));
        EXPECT_TRUE(attributes.contains("kind")) << c.name;
        for (const QString& key : attributes.keys()) {
            EXPECT_FALSE(key.startsWith("media-") || key.startsWith("AV-") || key.startsWith("id3-") || key.startsWith("{"))
                << c.name << " " << key.toStdString();
        }
    }
}

} // namespace
