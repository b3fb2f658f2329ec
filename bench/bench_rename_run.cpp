// The road of one request on a generated folder: open, preview with
// validation, rename run; beside the run, a plain renameat2 loop doing the
// same renames on a fresh copy of the tree. The rules: Replace, Regular
// expression, Conversion, Numbering, Prefix and Suffix.
//
//   bench_rename_run [--files 10000|100000]   (default 10000)
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
#include "engine/TransformationService.h"
#include "files/FileDataSource.h"
#include "files/FilesAndDirectories.h"
#include "platform/DefaultsStore.h"
#include "platform/GlobalActors.h"
#include "platform/Task.h"
#include "rules/ConversionType.h"
#include "rules/Transformers.h"
#include "tokens/TokenString.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace {

constexpr int filesPerFolder = 1000;

QString folderName(int f) { return QStringLiteral("folder-%1").arg(f, 4, 10, QLatin1Char('0')); }
QString fileName(int i) { return QStringLiteral("file_%1.txt").arg(i, 6, 10, QLatin1Char('0')); }
// What the rules make of a name, for the plain loop; the engine's run gives
// each file its own number in list order.
QString newFileName(int i)
{
    return QStringLiteral("A_DOC-%1_%2_S.txt").arg(i, 6, 10, QLatin1Char('0')).arg(i + 1, 6, 10, QLatin1Char('0'));
}
const QRegularExpression renamedName(QStringLiteral("^A_DOC-\\d{6}_(\\d{6})_S\\.txt$"));

bool generate(const QString& root, int fileCount)
{
    for (int i = 0; i < fileCount; ++i) {
        const QString folder = root + QLatin1Char('/') + folderName(i / filesPerFolder);
        if (i % filesPerFolder == 0 && !QDir().mkpath(folder))
            return false;
        const int fd = ::open(QFile::encodeName(folder + QLatin1Char('/') + fileName(i)).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Runs `work` on the transformation executor with the main loop turning, as
// the event handler does; answers the milliseconds it took.
qint64 runOnTransformation(std::function<void(std::stop_token)> work)
{
    QElapsedTimer timer;
    timer.start();
    const TaskHandle task = TaskHandle::start(GlobalActors::transformation(), std::move(work));
    // Sleeps in the event loop between the worker's hops; the timer wakes it
    // to look whether the run has ended.
    QTimer wake;
    wake.start(2);
    while (!task.isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const qint64 elapsed = timer.elapsed();
    QCoreApplication::processEvents();
    return elapsed;
}

QList<Transformer> rules()
{
    Transformer replace = Transformer::newTransformer();
    replace.type = TransformerType::simple;
    replace.properties.simpleFindText = QStringLiteral("file");
    replace.properties.simpleReplaceText = TokenString::string(QStringLiteral("doc"));
    Transformer regex = Transformer::newTransformer();
    regex.type = TransformerType::regex;
    regex.properties.regexFindText = TokenString::string(QStringLiteral("_(\\d+)$"));
    regex.properties.regexReplaceText = TokenString::string(QStringLiteral("-$1"));
    Transformer conversion = Transformer::newTransformer();
    conversion.type = TransformerType::conversion;
    conversion.properties.conversionFindText = QStringLiteral("doc");
    conversion.properties.conversionType = ConversionType::uppercase;
    Transformer numbering = Transformer::newTransformer();
    numbering.type = TransformerType::numbering;
    numbering.properties.numberDigits = 6;
    numbering.properties.numberSeparatorText = QStringLiteral("_");
    Transformer prefix = Transformer::newTransformer();
    prefix.type = TransformerType::prefix;
    prefix.properties.prefixText = TokenString::string(QStringLiteral("A_"));
    Transformer suffix = Transformer::newTransformer();
    suffix.type = TransformerType::suffix;
    suffix.properties.suffixText = TokenString::string(QStringLiteral("_S"));
    return { replace, regex, conversion, numbering, prefix, suffix };
}

// The files under their new names, counted once per number.
int countRenamed(const QString& root, int fileCount)
{
    QSet<QString> numbers;
    for (int f = 0; f * filesPerFolder < fileCount; ++f) {
        for (const QString& name : QDir(root + QLatin1Char('/') + folderName(f)).entryList(QDir::Files)) {
            const QRegularExpressionMatch match = renamedName.match(name);
            if (match.hasMatch())
                numbers.insert(match.captured(1));
        }
    }
    return int(numbers.size());
}

} // namespace

int main(int argc, char** argv)
{
    int fileCount = 10000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0)
            fileCount = std::atoi(argv[i + 1]);
    }
    if (fileCount < 1) {
        std::fprintf(stderr, "usage: %s [--files N]\n", argv[0]);
        return 2;
    }

    // A home of its own: the tree must lie in an allowed folder, and nothing
    // touches the real home or settings.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/brackenfold-bench-XXXXXX"));
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("com.quendrel.brackenfold.*.debug=false\ncom.quendrel.brackenfold.*.info=false"));
    DefaultsStore store(home.filePath(QStringLiteral("defaults.json")));
    Preference::setStore(&store);
    Preference::initDefaults();

    const QString engineTree = home.filePath(QStringLiteral("engine"));
    const QString plainTree = home.filePath(QStringLiteral("plain"));
    QElapsedTimer timer;
    timer.start();
    if (!generate(engineTree, fileCount) || !generate(plainTree, fileCount)) {
        std::fprintf(stderr, "could not generate the trees\n");
        return 1;
    }
    std::printf("%d files in folders of %d, generated twice in %lld ms\n", fileCount, filesPerFolder, timer.elapsed());

    auto fileDataSource = std::make_shared<FileDataSource>();
    auto transformers = std::make_shared<Transformers>();
    DependencyInjectionRegistry::shared().registerInstance(fileDataSource);
    DependencyInjectionRegistry::shared().registerInstance(transformers);
    transformers->replaceTransformers(rules());
    QCoreApplication::processEvents();
    const long baseline = residentKilobytes();

    timer.restart();
    const QList<File> opened = FilesAndDirectories({ QUrl::fromLocalFile(engineTree) }).allFiles();
    fileDataSource->replaceFilesNoUndo(opened, FileAction::replace, false);
    const qint64 openMs = timer.elapsed();
    QCoreApplication::processEvents();

    const qint64 previewMs = runOnTransformation([](std::stop_token stop) {
        TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("bench"));
    });
    const long resident = residentKilobytes();

    const qint64 renameMs = runOnTransformation([](std::stop_token stop) {
        TransformationService::shared().applyTransformationsAndRename(true, stop);
    });
    const int engineRenamed = countRenamed(engineTree, fileCount);

    timer.restart();
    int plainRenamed = 0;
    for (int f = 0; f * filesPerFolder < fileCount; ++f) {
        const int dirfd = ::open(QFile::encodeName(plainTree + QLatin1Char('/') + folderName(f)).constData(), O_RDONLY | O_DIRECTORY);
        if (dirfd < 0)
            return 1;
        for (int i = f * filesPerFolder; i < std::min(fileCount, (f + 1) * filesPerFolder); ++i) {
            if (::renameat2(dirfd, QFile::encodeName(fileName(i)).constData(), dirfd,
                    QFile::encodeName(newFileName(i)).constData(), RENAME_NOREPLACE) == 0)
                ++plainRenamed;
        }
        ::close(dirfd);
    }
    const qint64 plainMs = std::max<qint64>(timer.elapsed(), 1);

    std::printf("open                     %8lld ms  (%lld files listed)\n", openMs, static_cast<long long>(fileDataSource->count()));
    std::printf("quick preview+validation %8lld ms\n", previewMs);
    std::printf("resident memory          %8.2f KiB per file (%ld KiB over %ld KiB before opening)\n",
        double(resident - baseline) / fileCount, resident - baseline, baseline);
    std::printf("rename run               %8lld ms  (%d renamed)\n", renameMs, engineRenamed);
    std::printf("plain renameat2 loop     %8lld ms  (%d renamed)\n", plainMs, plainRenamed);
    std::printf("rename run / plain loop  %8.1f x\n", double(renameMs) / double(plainMs));
    return engineRenamed == fileCount && plainRenamed == fileCount ? 0 : 1;
}
