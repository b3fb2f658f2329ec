// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a generated tree of 100,000 files in 1,000 folders and compares the
// walk with `find` stat-ing the same tree.
#include "files/FilesAndDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int folderCount = 1000;
constexpr int filesPerFolder = 100;

bool generate(const QString& root)
{
    const char* extensions[] = { "txt", "jpg", "mp3", "pdf" };
    for (int f = 0; f < folderCount; ++f) {
        const QString folder = QStringLiteral("%1/folder-%2").arg(root).arg(f, 4, 10, QLatin1Char('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int i = 0; i < filesPerFolder; ++i) {
            const QByteArray file = QFile::encodeName(
                QStringLiteral("%1/file-%2.%3").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(extensions[i % 4]));
            const int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0644);
            if (fd < 0)
                return false;
            ::close(fd);
        }
    }
    return true;
}

double perSecond(qint64 count, qint64 nanoseconds)
{
    return nanoseconds > 0 ? count * 1e9 / nanoseconds : 0.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/tree");
    std::printf("generating %d files in %d folders under %s\n", folderCount * filesPerFolder, folderCount,
        qPrintable(root));
    if (!dir.isValid() || !generate(root)) {
        std::fprintf(stderr, "cannot generate the tree\n");
        return 1;
    }

    // The tree is the home folder here, so the directory rules admit it.
    DirectoryRoots roots;
    roots.homeDirectory = dir.path();

    const int rounds = 3;
    for (int round = 1; round <= rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const FilesAndDirectories opened({ QUrl::fromLocalFile(root) }, false, false, roots);
        const QList<File> files = opened.allFiles();
        const qint64 walk = timer.nsecsElapsed();

        timer.restart();
        QProcess find;
        find.start(QStringLiteral("find"), { root, QStringLiteral("-type"), QStringLiteral("f"),
                                               QStringLiteral("-printf"), QStringLiteral("%s %T@\\n") });
        find.waitForFinished(-1);
        const qint64 found = find.readAllStandardOutput().count('\n');
        const qint64 findTime = timer.nsecsElapsed();

        std::printf("round %d: FilesAndDirectories %lld files in %.3f s (%.0f files/s, %zu rejected); "
                    "find %lld files in %.3f s (%.0f files/s); ratio %.1fx\n",
            round, static_cast<long long>(files.size()), walk / 1e9, perSecond(files.size(), walk),
            static_cast<size_t>(opened.rejectedDirectories().size()), static_cast<long long>(found), findTime / 1e9,
            perSecond(found, findTime), findTime > 0 ? double(walk) / findTime : 0.0);
    }
    return 0;
}
