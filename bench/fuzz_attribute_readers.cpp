// A seeded mutation loop over the image, audio and video readers: valid files
// made by the test fixtures are damaged at random and read again and again.
// The input in hand is kept on disk, so a crash leaves it behind.
//
//   fuzz_attribute_readers [seconds=180] [seed=1] [folder]
#include "tokens/FileAttributeUtil.h"
#include "tokens/ImageProperties.h"
#include "tokens/MediaAsset.h"
#include "tokens/MediaFixtures.h"
#include "tokens/TokenDetailsList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

struct Seed {
    QString extension;
    QByteArray bytes;
    qint64 runs = 0;
    qint64 withAttributes = 0; // runs where a reader still found something
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<Seed> makeSeeds(const QString& folder)
{
    QList<Seed> seeds;
    const auto add = [&](const QString& extension, bool written) {
        const QString path = folder + QStringLiteral("/seed.") + extension;
        if (written)
            seeds.append({ extension, readAll(path) });
    };
    add("jpg", MediaFixtures::writeJpeg(folder + "/seed.jpg", &MediaFixtures::cameraExif));
    add("mp3", MediaFixtures::writeMp3(folder + "/seed.mp3",
                   { { "TIT2", { "Title" } }, { "TRCK", { "3/12" } }, { "TPOS", { "1/2" } }, { "TCON", { "(17)" } } }, 8));
    add("flac", MediaFixtures::writeFlac(folder + "/seed.flac", { { "TITLE", { "T" } }, { "TRACKNUMBER", { "4/9" } } }));
    const bool mp4 = MediaFixtures::writeMovie(folder + "/seed.m4a", "mp4", { { "location", "+1.5+2.5/" } }, 3)
        && MediaFixtures::tagMp4(folder + "/seed.m4a", "Clip", { 3, 12 }, { 1, 2 });
    add("m4a", mp4);
    add("mov", MediaFixtures::writeMovie(folder + "/seed.mov", "mov",
                   { { "title", "Movie" }, { "location", "+48.8584+002.2945+035.000/" },
                       { "creation_time", "2022-07-14T09:30:00Z" } }, 3));
    add("avi", MediaFixtures::writeMovie(folder + "/seed.avi", "avi",
                   { { "artist", "Ann" }, { "album", "Album" }, { "track", "3/12" } }, 3));
    add("heic", MediaFixtures::writeHeic(folder + "/seed.heic", 48, 48, &MediaFixtures::cameraExif,
                    QByteArray("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                               "<rdf:Description rdf:about=\"\" xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" tiff:Make=\"M\"/>"
                               "</rdf:RDF></x:xmpmeta>")));
    add("wav", MediaFixtures::writeWav(folder + "/seed.wav", [](TagLib::RIFF::Info::Tag& tag) {
        tag.setTitle("Wave");
        tag.setTrack(3);
    }));
    return seeds;
}

QByteArray mutate(QByteArray bytes, std::mt19937_64& random)
{
    static const char INTERESTING[] = { 0, 1, 0x7f, char(0x80), char(0xff), char(0xfe), 0x20, 0x2f };
    const auto pick = [&](qsizetype n) { return n > 0 ? qsizetype(random() % quint64(n)) : 0; };
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits; ++e) {
        if (bytes.isEmpty())
            bytes.append(char(random()));
        switch (random() % 8) {
        case 0: // flip a bit
            bytes[pick(bytes.size())] ^= char(1 << (random() % 8));
            break;
        case 1: // an interesting byte
            bytes[pick(bytes.size())] = INTERESTING[random() % sizeof INTERESTING];
            break;
        case 2: { // a large or small 32-bit number, as sizes and counts are
            const qsizetype at = pick(bytes.size());
            const quint32 values[] = { 0, 1, 0x7fffffff, 0x80000000, 0xffffffff, 0xfffffffe, 0x10000, 0xffff };
            const quint32 v = values[random() % 8];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = char((v >> (8 * (random() % 2 ? i : 3 - i))) & 0xff);
            break;
        }
        case 3: // cut the tail
            bytes.truncate(pick(bytes.size() + 1));
            break;
        case 4: { // repeat a piece
            const qsizetype at = pick(bytes.size());
            const qsizetype length = 1 + pick(qMin<qsizetype>(bytes.size() - at, 256));
            bytes.insert(pick(bytes.size()), bytes.mid(at, length));
            break;
        }
        case 5: // remove a piece
            bytes.remove(pick(bytes.size()), 1 + pick(64));
            break;
        case 6: { // random bytes in between
            QByteArray noise(1 + pick(32), '\0');
            for (char& c : noise)
                c = char(random());
            bytes.insert(pick(bytes.size()), noise);
            break;
        }
        default: // random bytes over
            for (qsizetype i = pick(bytes.size()), n = 1 + pick(16); n > 0 && i < bytes.size(); --n, ++i)
                bytes[i] = char(random());
            break;
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int seconds = arguments.size() > 1 ? arguments[1].toInt() : 180;
    const quint64 seed = arguments.size() > 2 ? arguments[2].toULongLong() : 1;
    QTemporaryDir temporary;
    const QString folder = arguments.size() > 3 ? arguments[3] : temporary.path();

    QList<Seed> seeds = makeSeeds(folder);
    if (seeds.size() != 8) {
        std::fprintf(stderr, "cannot make the seed files\n");
        return 1;
    }
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    const QList<TokenDetailsRef> mediaEntries = catalog.avTokenDetails + catalog.id3TokenDetails + catalog.flacTokenDetails;

    std::mt19937_64 random(seed);
    QElapsedTimer clock;
    clock.start();
    qint64 slowestNs = 0;
    qint64 iterations = 0;
    while (clock.elapsed() < qint64(seconds) * 1000) {
        Seed& source = seeds[qsizetype(random() % quint64(seeds.size()))];
        const QByteArray input = mutate(source.bytes, random);
        // Kept as "input.<extension>": after a crash it is the input that did it.
        const QString path = folder + QStringLiteral("/input.") + source.extension;
        if (!MediaFixtures::writeBytes(path, input))
            return 1;
        QElapsedTimer one;
        one.start();
        // Every reader on every input, whatever its extension asks for.
        FileAttributeDictionary attributes = FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(path));
        if (const auto properties = ImageProperties::read(path))
            FileAttributeUtil::imageAttributes(*properties, attributes);
        if (const auto asset = MediaAsset::load(path))
            FileAttributeUtil::avAssetAttributes(*asset, QStringLiteral("input"), attributes, mediaEntries);
        MediaAsset::tagItems(path);
        slowestNs = qMax(slowestNs, one.nsecsElapsed());
        ++source.runs;
        bool found = false;
        for (auto it = attributes.cbegin(); it != attributes.cend() && !found; ++it)
            found = it.key().startsWith(QLatin1Char('{')) || it.key().startsWith(QLatin1String("media-"));
        source.withAttributes += found ? 1 : 0;
        ++iterations;
    }
    std::printf("seed %llu, %d s: %lld inputs, no crash; slowest input %.1f ms\n", static_cast<unsigned long long>(seed),
        seconds, static_cast<long long>(iterations), slowestNs / 1e6);
    for (const Seed& s : seeds) {
        std::printf("  %-4s %7lld inputs, %7lld still gave attributes\n", qPrintable(s.extension),
            static_cast<long long>(s.runs), static_cast<long long>(s.withAttributes));
    }
    return 0;
}
