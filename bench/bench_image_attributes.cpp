// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the attributes of 1,000 JPEGs with EXIF and GPS data, and compares the
// time with one run of `exiv2 -pa` over the same files.
#include "tokens/FileAttributeUtil.h"
#include "tokens/ImageProperties.h"
#include "tokens/MediaFixtures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int fileCount = 1000;

QStringList generate(const QString& folder)
{
    QStringList paths;
    for (int i = 0; i < fileCount; ++i) {
        const QString path = QStringLiteral("%1/IMG_%2.jpg").arg(folder).arg(i, 4, 10, QLatin1Char('0'));
        const bool written = MediaFixtures::writeJpeg(path, [i](Exiv2::ExifData& exif) {
            MediaFixtures::cameraExif(exif);
            exif["Exif.Image.ImageNumber"] = uint32_t(i);
            exif["Exif.Photo.Flash"] = uint16_t(i % 128);
            exif["Exif.Photo.DateTimeDigitized"] = QStringLiteral("2023:05:%1 12:%2:00")
                                                       .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                                       .arg(i % 60, 2, 10, QLatin1Char('0'))
                                                       .toStdString();
        });
        if (!written)
            return {};
        paths << path;
    }
    return paths;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList paths = dir.isValid() ? generate(dir.path()) : QStringList();
    if (paths.size() != fileCount) {
        std::fprintf(stderr, "cannot generate the images\n");
        return 1;
    }
    std::printf("%d JPEGs with EXIF and GPS data under %s\n", fileCount, qPrintable(dir.path()));

    // Warm the page cache and the readers' one-time set-up.
    for (const QString& path : paths)
        ImageProperties::read(path);

    QElapsedTimer timer;
    timer.start();
    qsizetype attributeCount = 0;
    for (const QString& path : paths)
        attributeCount += FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(path)).size();
    const qint64 allNs = timer.nsecsElapsed();

    timer.restart();
    qsizetype imageCount = 0;
    for (const QString& path : paths) {
        FileAttributeDictionary attributes;
        if (const auto properties = ImageProperties::read(path)) {
            FileAttributeUtil::imageAttributes(*properties, attributes);
            imageCount += attributes.size();
        }
    }
    const qint64 imageNs = timer.nsecsElapsed();

    // The two halves of the image step: Exiv2's reading, and the attribute rules.
    QList<QVariantMap> read;
    timer.restart();
    for (const QString& path : paths)
        read << ImageProperties::read(path).value_or(QVariantMap());
    const qint64 readNs = timer.nsecsElapsed();
    timer.restart();
    for (const QVariantMap& properties : read) {
        FileAttributeDictionary attributes;
        FileAttributeUtil::imageAttributes(properties, attributes);
    }
    const qint64 rulesNs = timer.nsecsElapsed();

    std::printf("loadAttributes (basic + image): %8.1f ms, %.1f us a file, %lld attributes\n", allNs / 1e6,
        allNs / 1e3 / fileCount, static_cast<long long>(attributeCount));
    std::printf("image attributes only:          %8.1f ms, %.1f us a file, %lld attributes\n", imageNs / 1e6,
        imageNs / 1e3 / fileCount, static_cast<long long>(imageCount));

    std::printf("  of which Exiv2 reading:        %8.1f ms; attribute rules: %.1f ms\n", readNs / 1e6, rulesNs / 1e6);

    const QString exiv2 = QStandardPaths::findExecutable(QStringLiteral("exiv2"));
    if (exiv2.isEmpty()) {
        std::printf("exiv2 command-line tool not installed: no comparison\n");
        return 0;
    }
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    timer.restart();
    process.start(exiv2, QStringList { QStringLiteral("-pa") } + paths);
    if (!process.waitForFinished(600000)) {
        std::fprintf(stderr, "exiv2 did not finish\n");
        return 1;
    }
    const qint64 exiv2Ns = timer.nsecsElapsed();
    std::printf("exiv2 -pa over the same files:  %8.1f ms, %.1f us a file\n", exiv2Ns / 1e6, exiv2Ns / 1e3 / fileCount);
    std::printf("ratio loadAttributes / exiv2: %.2f; image attributes only / exiv2: %.2f\n",
        double(allNs) / double(exiv2Ns), double(imageNs) / double(exiv2Ns));
    return 0;
}
