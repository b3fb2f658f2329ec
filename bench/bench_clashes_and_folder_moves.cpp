// SPDX-License-Identifier: GPL-3.0-or-later
// Two steps of a run that grow with the list, at 10,000 and 100,000 (the
// duplicate check at 8,000 too):
//  - the duplicate check when every file wants "photo.jpg" beside the same
//    files each wanting a name of its own, and beside the raw lookups of the
//    names the check hands out (one fstatat each);
//  - the rename loop over that many renamed folders, each holding a renamed
//    file, beside a raw loop of renameat2 calls moving the same items.
// Both should grow in step with the list: ten times the files, about ten
// times the time.
#include "core/Preference.h"
#include "engine/FileValidationUtil.h"
#include "engine/TransformationUtil.h"
#include "files/File.h"
#include "platform/DefaultsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brackenfold-bench-XXXXXX"));
    return dir;
}

// Files listed in one folder that all move to `targetFolder`, to "photo.jpg"
// or to "photo <i>.jpg" each.
QList<File> filesWanting(const QString& targetFolder, int count, bool oneName)
{
    QList<File> files;
    files.reserve(count);
    const QString sourceFolder = scratch().path() + QStringLiteral("/listed");
    for (int i = 0; i < count; ++i) {
        ExtendedFileInfo info;
        info.name = QStringLiteral("IMG_%1").arg(i, 7, 10, QLatin1Char('0'));
        info.ext = QStringLiteral("jpg");
        info.path = sourceFolder;
        info.fullPath = sourceFolder + QLatin1Char('/') + info.name + QStringLiteral(".jpg");
        const QUuid id = QUuid::createUuid();
        File file(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
            FileValidation { id, {}, {} }, std::nullopt);
        file.transformed.transformedPath = targetFolder;
        file.transformed.transformedName = oneName ? QStringLiteral("photo") : QStringLiteral("photo_%1").arg(i);
        files << file;
    }
    return files;
}

void BM_DuplicateCheck(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const bool oneName = state.range(1) != 0;
    const QString target = scratch().path() + QStringLiteral("/photos");
    QDir().mkpath(target);
    const QList<File> listed = filesWanting(target, count, oneName);
    qsizetype counted = 0;
    // The checked list is let go of outside the timing, as the program keeps it.
    QList<File> files;
    for (auto _ : state) {
        state.PauseTiming();
        files = listed;
        files.detach();
        state.ResumeTiming();
        FileValidationUtil::validateUniquenessInterruptable(files);
        counted = std::count_if(files.cbegin(), files.cend(), [](const File& f) { return !f.transformed.uniqueSuffix.isEmpty(); });
        benchmark::DoNotOptimize(counted);
    }
    state.SetLabel(oneName ? "all want photo.jpg" : "distinct names");
    state.counters["counted"] = static_cast<double>(counted);
}
BENCHMARK(BM_DuplicateCheck)
    ->ArgsProduct({ { 8000, 10000, 100000 }, { 1, 0 } })
    ->Unit(benchmark::kMillisecond);

// The names the check hands out, each looked up once in the target folder:
// the least the disk side of the check can cost.
void BM_RawLookups(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const QString target = scratch().path() + QStringLiteral("/photos");
    QDir().mkpath(target);
    QByteArrayList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names << QFile::encodeName(i == 0 ? QStringLiteral("photo.jpg") : QStringLiteral("photo %1.jpg").arg(i + 1));
    const int fd = ::open(QFile::encodeName(target).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        int free = 0;
        for (const QByteArray& name : std::as_const(names)) {
            struct stat status {};
            free += ::fstatat(fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0;
        }
        benchmark::DoNotOptimize(free);
    }
    ::close(fd);
    state.SetLabel("fstatat per name");
}
BENCHMARK(BM_RawLookups)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

QString folderName(const char* prefix, int i)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0'));
}

// `count` folders "d<i>", each holding "f.txt", under a fresh root.
QString makeFolders(int count)
{
    static int round = 0;
    const QString root = scratch().path() + QStringLiteral("/tree-%1").arg(++round);
    QDir().mkpath(root);
    for (int i = 0; i < count; ++i) {
        const QString folder = root + QLatin1Char('/') + folderName("d", i);
        ::mkdir(QFile::encodeName(folder).constData(), 0755);
        const int fd = ::open(QFile::encodeName(folder + QStringLiteral("/f.txt")).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        ::close(fd);
    }
    return root;
}

// Every folder "d<i>" becomes "e<i>", every file in it "g.txt".
QList<File> folderRenames(const QString& root, int count)
{
    QList<File> files;
    files.reserve(2 * count);
    for (int i = 0; i < count; ++i) {
        const QString folder = root + QLatin1Char('/') + folderName("d", i);
        File inside(QUrl::fromLocalFile(folder + QStringLiteral("/f.txt")), false);
        inside.transformed.transformedName = QStringLiteral("g");
        files << inside;
        File renamed(QUrl::fromLocalFile(folder), false);
        renamed.transformed.transformedPath = root + QLatin1Char('/') + folderName("e", i);
        files << renamed;
    }
    return files;
}

void BM_FolderRenames(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    qint64 renamed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString root = makeFolders(count);
        RenameContext context = RenameContext::make(folderRenames(root, count));
        state.ResumeTiming();
        context = TransformationUtil::renameFiles(std::move(context));
        renamed = context.totalSuccess;
        state.PauseTiming();
        QDir(root).removeRecursively();
        state.ResumeTiming();
    }
    state.SetLabel("folders and the files in them");
    state.counters["renamed"] = static_cast<double>(renamed);
}
BENCHMARK(BM_FolderRenames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same moves as plain renameat2 calls.
void BM_RawFolderRenames(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const QString root = makeFolders(count);
        QList<std::pair<QByteArray, QByteArray>> moves;
        for (int i = 0; i < count; ++i) {
            const QString from = root + QLatin1Char('/') + folderName("d", i);
            moves << std::pair { QFile::encodeName(from + QStringLiteral("/f.txt")), QFile::encodeName(from + QStringLiteral("/g.txt")) };
            moves << std::pair { QFile::encodeName(from), QFile::encodeName(root + QLatin1Char('/') + folderName("e", i)) };
        }
        state.ResumeTiming();
        int done = 0;
        for (const auto& [from, to] : std::as_const(moves))
            done += ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
        benchmark::DoNotOptimize(done);
        state.PauseTiming();
        QDir(root).removeRecursively();
        state.ResumeTiming();
    }
    state.SetLabel("renameat2 per item");
}
BENCHMARK(BM_RawFolderRenames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("com.quendrel.brackenfold.*.debug=false\ncom.quendrel.brackenfold.*.info=false"));
    // Preferences of its own, at their defaults: nothing read from or written to the real settings.
    DefaultsStore defaults(scratch().filePath(QStringLiteral("defaults.json")));
    Preference::setStore(&defaults);
    Preference::initDefaults();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Preference::setStore(nullptr);
    return 0;
}
