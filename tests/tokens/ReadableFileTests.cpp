// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaFileFolder.h"
#include "MediaFixtures.h"

#include "tokens/ImageProperties.h"
#include "tokens/MediaAsset.h"
#include "tokens/ReadableFile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <taglib/mpegfile.h>
#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class ReadableFiles : public MediaFileFolder {
protected:
    // A file of `size` zero bytes that takes no room on disk.
    bool writeSparse(const QString& name, qint64 size)
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.resize(size);
    }
    bool makeFifo(const QString& name) { return ::mkfifo(QFile::encodeName(path(name)).constData(), 0600) == 0; }
    bool makeLink(const QString& target, const QString& name)
    {
        return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path(name)).constData()) == 0;
    }
};

TEST_F(ReadableFiles, OnlyRegularFilesAreOpenedAndNothingBlocks)
{
    ASSERT_TRUE(MediaFixtures::writeBytes(path("song.mp3"), MediaFixtures::mp3Frames(3)));
    ASSERT_TRUE(makeFifo("pipe.mp3"));
    ASSERT_TRUE(makeLink("/dev/zero", ".mp3"));
    ASSERT_TRUE(makeLink(path("pipe.mp3"), "pipe-link.m4a"));
    ASSERT_TRUE(makeLink(path("song.mp3"), "song-link.mp3"));
    ASSERT_TRUE(makeLink(path("nowhere"), "dangling.mp3"));
    const struct {
        QString name;
        bool opened;
    } cases[] = {
        { "song.mp3", true },
        { "song-link.mp3", true }, // a link to a file is read as the file
        { "pipe.mp3", false },
        { ".mp3", false },
        { "pipe-link.m4a", false },
        { "dangling.mp3", false },
        { "", false }, // the folder itself
    };
    for (const auto& c : cases) {
        const auto file = ReadableFile::open(path(c.name), ReadableFile::TAG_LIMITS);
        EXPECT_EQ(file != nullptr, c.opened) << c.name.toStdString();
        // Each reader gives up on it at once.
        if (!c.opened) {
            EXPECT_FALSE(MediaAsset::load(path(c.name))) << c.name.toStdString();
            EXPECT_TRUE(MediaAsset::tagItems(path(c.name)).isEmpty()) << c.name.toStdString();
            EXPECT_FALSE(ImageProperties::read(path(c.name))) << c.name.toStdString();
        }
    }
}

TEST_F(ReadableFiles, ReadsStopAtTheByteBudgetAndTheDeadline)
{
    ASSERT_TRUE(MediaFixtures::writeBytes(path("data.bin"), QByteArray(1000, 'x')));
    char buffer[1000];

    const auto budgeted = ReadableFile::open(path("data.bin"), { std::chrono::seconds(60), 600 });
    ASSERT_TRUE(budgeted);
    EXPECT_EQ(budgeted->readAt(0, buffer, 400), 400);
    EXPECT_FALSE(budgeted->isExhausted());
    EXPECT_EQ(budgeted->readAt(0, buffer, 400), 200);
    EXPECT_EQ(budgeted->readAt(500, buffer, 10), 0);
    EXPECT_TRUE(budgeted->isExhausted());

    const auto unbounded = ReadableFile::open(path("data.bin"), { std::chrono::seconds(60), 1 << 20 });
    ASSERT_TRUE(unbounded);
    EXPECT_EQ(unbounded->readAt(900, buffer, 400), 100); // never past the end
    EXPECT_EQ(unbounded->readAt(1000, buffer, 1), 0);
    EXPECT_EQ(unbounded->readAt(-1, buffer, 1), -1);

    const auto late = ReadableFile::open(path("data.bin"), { std::chrono::milliseconds(-1), 1 << 20 });
    ASSERT_TRUE(late);
    EXPECT_EQ(late->readAt(0, buffer, 10), 0);
    EXPECT_TRUE(late->isExhausted());
}

// A damaged tag may announce gigabytes; the stream hands over what the file
// holds, within the budget, and TagLib's scan of a large file ends there.
TEST_F(ReadableFiles, TagLibReadsWithinTheBounds)
{
    ASSERT_TRUE(writeSparse("zeros.mp3", qint64(200) * 1024 * 1024));
    const auto file = ReadableFile::open(path("zeros.mp3"), { std::chrono::seconds(600), 4 * 1024 * 1024 });
    ASSERT_TRUE(file);
    const std::unique_ptr<TagLib::IOStream> stream = file->tagLibStream();
    EXPECT_EQ(stream->length(), 200L * 1024 * 1024);
    stream->seek(-10, TagLib::IOStream::End);
    EXPECT_EQ(stream->readBlock(0xffffffffUL).size(), 10U);
    stream->seek(0);
    EXPECT_EQ(stream->readBlock(8 * 1024 * 1024).size(), 4U * 1024 * 1024 - 10);
    EXPECT_TRUE(stream->readBlock(1).isEmpty());
    EXPECT_TRUE(file->isExhausted());

    const auto scanned = ReadableFile::open(path("zeros.mp3"), { std::chrono::seconds(600), 4 * 1024 * 1024 });
    ASSERT_TRUE(scanned);
    const std::unique_ptr<TagLib::IOStream> scan = scanned->tagLibStream();
    TagLib::MPEG::File mpeg(scan.get(), TagLib::ID3v2::FrameFactory::instance(), true);
    EXPECT_FALSE(mpeg.ID3v2Tag() && !mpeg.ID3v2Tag()->isEmpty());
}

// A file of zeros the size of a long recording, named as one: every reader
// ends with nothing found.
TEST_F(ReadableFiles, ALargeFileOfZerosAddsNothingBeyondTheBasics)
{
    for (const QString name : { "zeros.mp3", "zeros.m4a", "zeros.mov", "zeros.jpg" }) {
        ASSERT_TRUE(writeSparse(name, qint64(200) * 1024 * 1024));
        const FileAttributeDictionary attributes = load(path(name));
        EXPECT_TRUE(attributes.contains("kind")) << name.toStdString();
        for (const QString& key : attributes.keys()) {
            EXPECT_FALSE(key.startsWith("media-") || key.startsWith("AV-") || key.startsWith("id3-") || key.startsWith("{"))
                << name.toStdString() << " " << key.toStdString();
        }
    }
}

} // namespace
