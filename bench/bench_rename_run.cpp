// SPDX-License-Identifier: GPL-3.0-or-later
// The main road of one request, phase by phase, beside plain tools on the same
// disk in the same run: opening (the walk and the hand-over to the store), the
// preview with three rules, the whole rename run, and then, on a second tree,
// its phases one by one (full transformation, the validation in it alone again,
// renaming). Beside them: `find -printf`, a perl stand-in for `rename -n` with
// one rule, and a careful raw loop (lstat + renameat2 RENAME_NOREPLACE per file).
//
// Reported per size: the milliseconds of every phase, the peak resident memory
// per listed file, and the longest main-thread stall (the longest single event
// the main thread handled, the file table reloading and painting included).
//
//   bench_rename_run                      10,000 and 100,000 files, each in a process of its own
//   bench_rename_run --files N [--per-folder M]   one size (default: all in one folder)
//
// To profile one phase alone: BENCH_PROFILE_PHASE=open|preview|run|full|validation|renaming
// and BENCH_PERF_CTL=<fifo> with `perf record --control fifo:<fifo> -D -1 ...`: the
// bench enables the profiler for that phase only. BENCH_EXIT_AFTER_RUN=1 ends the
// process right after the rename run, so that a heap profiler's peak is the run's.
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
#include "engine/FileValidationService.h"
#include "engine/FileValidationUtil.h"
#include "engine/TransformationService.h"
#include "engine/TransformationUtil.h"
#include "filetable/TableViewController.h"
#include "files/FileDataSource.h"
#include "files/FilesAndDirectories.h"
#include "platform/DefaultsStore.h"
#include "platform/GlobalActors.h"
#include "platform/MainThread.h"
#include "platform/Task.h"
#include "rules/ConversionType.h"
#include "rules/Transformers.h"
#include "tokens/TokenString.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Times every event the main thread handles; the longest is the longest stall
// the window would show.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (m_depth > 0)
            return QApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer timer;
        timer.start();
        const bool handled = QApplication::notify(receiver, event);
        m_longest = std::max(m_longest, timer.nsecsElapsed());
        --m_depth;
        return handled;
    }

    // The longest stall since the last call, in milliseconds.
    double takeLongestStall()
    {
        const double longest = m_longest / 1e6;
        m_longest = 0;
        return longest;
    }

private:
    int m_depth = 0;
    qint64 m_longest = 0;
};

TimedApplication* timedApp() { return static_cast<TimedApplication*>(QCoreApplication::instance()); }

struct Layout {
    int fileCount = 0;
    int perFolder = 0;

    int folderCount() const { return (fileCount + perFolder - 1) / perFolder; }
    QString folder(const QString& root, int i) const
    {
        return root + QStringLiteral("/folder-%1").arg(i / perFolder, 4, 10, QLatin1Char('0'));
    }
};

QString fileName(int i) { return QStringLiteral("file_%1.txt").arg(i, 7, 10, QLatin1Char('0')); }
// What the three rules make of a name.
QString newFileName(int i) { return QStringLiteral("A_doc_%1_S.txt").arg(i, 7, 10, QLatin1Char('0')); }

bool generate(const QString& root, const Layout& layout)
{
    for (int i = 0; i < layout.fileCount; ++i) {
        const QString folder = layout.folder(root, i);
        if (i % layout.perFolder == 0 && !QDir().mkpath(folder))
            return false;
        const int fd = ::open(QFile::encodeName(folder + QLatin1Char('/') + fileName(i)).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

long statusKilobytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(std::strlen(key)).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Starts the peak resident size afresh from what is resident now.
void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Turns the main loop until the task ends, as the window does while a worker runs.
void waitWithLoopTurning(const TaskHandle& task)
{
    QTimer wake;
    wake.start(2);
    while (!task.isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// Turns the profiler on for the phase named by BENCH_PROFILE_PHASE, off after it.
class ProfiledPhase {
public:
    explicit ProfiledPhase(const char* name)
        : m_on(qEnvironmentVariable("BENCH_PROFILE_PHASE") == QLatin1String(name))
    {
        if (m_on)
            control("enable\n");
    }
    ~ProfiledPhase()
    {
        if (m_on)
            control("disable\n");
    }

private:
    static void control(const char* command)
    {
        const QByteArray fifo = qgetenv("BENCH_PERF_CTL");
        if (fifo.isEmpty())
            return;
        const int fd = ::open(fifo.constData(), O_WRONLY);
        if (fd < 0)
            return;
        [[maybe_unused]] const auto written = ::write(fd, command, std::strlen(command));
        ::close(fd);
    }

    bool m_on;
};

struct Phase {
    double milliseconds = 0;
    double stall = 0;
};

// Runs `work` on `executor` (or detached) with the main loop turning.
Phase runOnWorker(SerialExecutor* executor, TaskHandle::Work work)
{
    QCoreApplication::processEvents();
    timedApp()->takeLongestStall();
    QElapsedTimer timer;
    timer.start();
    const TaskHandle task = executor ? TaskHandle::start(*executor, std::move(work)) : TaskHandle::detached(std::move(work));
    waitWithLoopTurning(task);
    return { timer.nsecsElapsed() / 1e6, timedApp()->takeLongestStall() };
}

// Runs `work` as one posted event of the main thread, as the window's hand-overs do.
Phase runOnMain(std::function<void()> work)
{
    QCoreApplication::processEvents();
    timedApp()->takeLongestStall();
    QElapsedTimer timer;
    timer.start();
    bool done = false;
    MainThread::post([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    QCoreApplication::processEvents();
    return { elapsed, timedApp()->takeLongestStall() };
}

QList<Transformer> rules()
{
    Transformer replace = Transformer::newTransformer();
    replace.type = TransformerType::simple;
    replace.properties.simpleFindText = QStringLiteral("file");
    replace.properties.simpleReplaceText = TokenString::string(QStringLiteral("doc"));
    Transformer prefix = Transformer::newTransformer();
    prefix.type = TransformerType::prefix;
    prefix.properties.prefixText = TokenString::string(QStringLiteral("A_"));
    Transformer suffix = Transformer::newTransformer();
    suffix.type = TransformerType::suffix;
    suffix.properties.suffixText = TokenString::string(QStringLiteral("_S"));
    return { replace, prefix, suffix };
}

// Every kind of rule that changes names: Replace, Regular expression,
// Conversion, Numbering, Prefix and Suffix.
QList<Transformer> sixRules()
{
    QList<Transformer> list = rules();
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
    list.insert(1, numbering);
    list.insert(1, conversion);
    list.insert(1, regex);
    return list;
}

int countRenamed(const QString& root, const Layout& layout)
{
    int renamed = 0;
    for (int i = 0; i < layout.fileCount; ++i) {
        const QString target = layout.folder(root, i) + QLatin1Char('/') + newFileName(i);
        renamed += ::access(QFile::encodeName(target).constData(), F_OK) == 0 ? 1 : 0;
    }
    return renamed;
}

// A whole process, timed from start to end.
double runProcess(const QString& program, const QStringList& arguments, qint64* lines)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, arguments);
    process.waitForStarted(-1);
    QByteArray output;
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(-1);
        output += process.readAllStandardOutput();
    }
    output += process.readAllStandardOutput();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    if (lines)
        *lines = output.count('\n');
    return process.exitCode() == 0 ? elapsed : -1;
}

// The processor time the calling thread has used, in milliseconds: on a busy
// machine it says more than the clock about the work itself.
double threadCpuMilliseconds()
{
    struct timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The careful raw loop: the source is looked at, then moved without replacing.
double rawRenameLoop(const QString& root, const Layout& layout, int* renamed, double* cpuMilliseconds)
{
    const double cpuBefore = threadCpuMilliseconds();
    QElapsedTimer timer;
    timer.start();
    *renamed = 0;
    for (int i = 0; i < layout.fileCount; ++i) {
        const QString folder = layout.folder(root, i) + QLatin1Char('/');
        const QByteArray from = QFile::encodeName(folder + fileName(i));
        const QByteArray to = QFile::encodeName(folder + newFileName(i));
        struct stat status {};
        if (::lstat(from.constData(), &status) != 0)
            continue;
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            ++*renamed;
    }
    *cpuMilliseconds = threadCpuMilliseconds() - cpuBefore;
    return timer.nsecsElapsed() / 1e6;
}

// The files a rename run takes: no errors, and a change.
QList<File> selectToRename(const QList<File>& files)
{
    QList<File> selected;
    for (const File& file : files) {
        if (file.validation.errors.isEmpty() && FileValidationUtil::isChanged(file))
            selected << file;
    }
    return selected;
}

// Opens `root` as the window does: the walk, the sort and the split into facets
// on a worker, then the hand-over to the store on the main thread.
std::pair<Phase, Phase> openTree(const QString& root, FileDataSource& store)
{
    FileComponents opened;
    const FileSortOrder order = store.sortOrder();
    ProfiledPhase profiled("open");
    const Phase walk = runOnWorker(nullptr, [&](std::stop_token stop) {
        QList<File> files = FilesAndDirectories({ QUrl::fromLocalFile(root) }).allFiles(stop);
        if (auto sorted = FileDataSource::sorted(std::move(files), order, stop))
            files = std::move(*sorted);
        opened = FileDataSource::componentsOf(std::move(files));
    });
    const Phase handOver = runOnMain([&] {
        store.replaceFilesFromComponents(opened, FileAction::replace, QList<QUrl> { QUrl::fromLocalFile(root) });
        store.setSortOrder(order);
    });
    opened = {};
    return { walk, handOver };
}

void printPhase(const char* name, const Phase& phase, const char* note = "")
{
    std::printf("  %-34s %9.1f ms   longest main-thread stall %6.1f ms%s\n", name, phase.milliseconds, phase.stall, note);
}

void printTool(const char* name, double milliseconds, const char* note = "")
{
    std::printf("  %-34s %9.1f ms%s\n", name, milliseconds, note);
}

void printRatio(const char* name, double a, double b)
{
    std::printf("  %-34s %9.2f x\n", name, b > 0 ? a / b : 0.0);
}

int runOneSize(int argc, char** argv, const Layout& layout)
{
    // A home of its own: the trees must lie in an allowed folder, and nothing
    // touches the real home or settings.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/brackenfold-bench-XXXXXX"));
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("com.quendrel.brackenfold.*.debug=false\ncom.quendrel.brackenfold.*.info=false"));
    DefaultsStore defaults(home.filePath(QStringLiteral("defaults.json")));
    Preference::setStore(&defaults);
    Preference::initDefaults();

    const QString runTree = home.filePath(QStringLiteral("run"));
    const QString phaseTree = home.filePath(QStringLiteral("phases"));
    const QString rawTree = home.filePath(QStringLiteral("raw"));
    QElapsedTimer timer;
    timer.start();
    if (!generate(runTree, layout) || !generate(phaseTree, layout) || !generate(rawTree, layout)) {
        std::fprintf(stderr, "could not generate the trees\n");
        return 1;
    }
    ::sync();
    std::printf("%d files, %d in a folder, three trees generated in %lld ms under %s\n", layout.fileCount,
        std::min(layout.perFolder, layout.fileCount), timer.elapsed(), qPrintable(home.path()));

    auto store = std::make_shared<FileDataSource>();
    auto transformers = std::make_shared<Transformers>();
    DependencyInjectionRegistry::shared().registerInstance(store);
    DependencyInjectionRegistry::shared().registerInstance(transformers);
    transformers->replaceTransformers(rules());
    // The table of the window, shown, so that its reloads count in the stalls.
    auto table = std::make_shared<TableViewController>();
    DependencyInjectionRegistry::shared().registerInstance(table);
    table->view()->resize(1200, 800);
    table->view()->show();
    QCoreApplication::processEvents();
    resetPeakResident();
    const long baseline = statusKilobytes("VmRSS:");

    // The plain tools first, on the raw tree, while it still has its old names.
    qint64 found = 0;
    const double findMs = runProcess(QStringLiteral("find"),
        { rawTree, QStringLiteral("-printf"), QStringLiteral("%p %s %T@\\n") }, &found);
    qint64 planned = 0;
    // What `rename -n 's/file/doc/'` does over one folder: each name through one
    // substitution, the new name checked and printed.
    const QString renameN = QStringLiteral(
        "for $d (@ARGV) { opendir(D, $d) or die; for (readdir D) { next if /^\\.\\.?$/; ($n = $_) =~ s/file/doc/;"
        " next if $n eq $_; print \"rename($d/$_, $d/$n)\\n\" unless -e \"$d/$n\" } closedir D }");
    QStringList folders;
    for (int f = 0; f < layout.folderCount(); ++f)
        folders << layout.folder(rawTree, f * layout.perFolder);
    const double renameNMs = runProcess(QStringLiteral("perl"), QStringList { QStringLiteral("-e"), renameN } + folders, &planned);

    // The whole road on the first tree.
    const auto [walk, handOver] = openTree(runTree, *store);
    const qint64 listed = store->count();
    const long residentAfterOpen = statusKilobytes("VmRSS:");
    Phase preview;
    {
        ProfiledPhase profiled("preview");
        preview = runOnWorker(&GlobalActors::transformation(), [](std::stop_token stop) {
            TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("bench"));
        });
    }
    // The same preview with every kind of rule, then back to the three.
    transformers->replaceTransformers(sixRules());
    const Phase previewSix = runOnWorker(&GlobalActors::transformation(), [](std::stop_token stop) {
        TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("bench"));
    });
    // The run follows the preview of its own rules, as in the window: a run
    // whose names differ from the preview takes another road (a warning each).
    transformers->replaceTransformers(rules());
    runOnWorker(&GlobalActors::transformation(), [](std::stop_token stop) {
        TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("bench"));
    });
    Phase run;
    {
        ProfiledPhase profiled("run");
        run = runOnWorker(&GlobalActors::transformation(), [](std::stop_token stop) {
            TransformationService::shared().applyTransformationsAndRename(true, stop);
        });
    }
    QCoreApplication::processEvents();
    const long peak = statusKilobytes("VmHWM:");
    const int runRenamed = countRenamed(runTree, layout);
    if (qEnvironmentVariableIsSet("BENCH_EXIT_AFTER_RUN")) {
        std::printf("peak resident memory %.2f KiB per file, after opening %.2f\n", double(peak - baseline) / layout.fileCount,
            double(residentAfterOpen - baseline) / layout.fileCount);
        std::fflush(stdout);
        std::exit(0);
    }

    // The run's phases one by one, on the second tree.
    openTree(phaseTree, *store);
    runOnWorker(&GlobalActors::transformation(), [](std::stop_token stop) {
        TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("bench"));
    });
    TransformationService::FullTransformation full;
    std::optional<ProfiledPhase> profiled;
    profiled.emplace("full");
    const Phase fullTransformation = runOnWorker(&GlobalActors::transformation(), [&](std::stop_token stop) {
        full = TransformationService::shared().transformAllFiles(stop);
    });
    // The full transformation validates its list already; this is that work
    // once more on its own, to show its part.
    profiled.emplace("validation");
    QList<File> validated;
    const Phase validation = runOnWorker(&GlobalActors::transformation(), [&](std::stop_token stop) {
        if (auto files = FileValidationService::validateFilesConcurrent(full.files, stop)) {
            FileValidationUtil::validateUniquenessInterruptable(*files, stop);
            validated = std::move(*files);
        }
    });
    profiled.reset();
    RenameContext context = RenameContext::make(selectToRename(validated));
    validated.clear();
    full.files.clear();
    profiled.emplace("renaming");
    double renamingCpuMs = 0;
    const Phase renaming = runOnWorker(&GlobalActors::transformation(), [&](std::stop_token stop) {
        const double cpuBefore = threadCpuMilliseconds();
        context = TransformationUtil::renameFiles(std::move(context), {}, stop);
        renamingCpuMs = threadCpuMilliseconds() - cpuBefore;
    });
    profiled.reset();
    const int phaseRenamed = countRenamed(phaseTree, layout);

    int rawRenamed = 0;
    double rawCpuMs = 0;
    const double rawMs = rawRenameLoop(rawTree, layout, &rawRenamed, &rawCpuMs);

    const Phase open { walk.milliseconds + handOver.milliseconds, std::max(walk.stall, handOver.stall) };
    std::printf("\n%d files in %d folder(s), milliseconds side by side in one run:\n", layout.fileCount, layout.folderCount());
    printPhase("open (walk + hand-over)", open);
    printPhase("  walk and sort on a worker", walk);
    printPhase("  hand-over on the main thread", handOver);
    printTool("find -printf '%p %s %T@'", findMs, QStringLiteral("   (%1 lines)").arg(found).toUtf8().constData());
    printPhase("preview, three rules, validated", preview);
    printPhase("preview, six rules of every kind", previewSix);
    printTool("rename -n, one rule (perl)", renameNMs, QStringLiteral("   (%1 planned)").arg(planned).toUtf8().constData());
    printPhase("rename run", run, QStringLiteral("   (%1 renamed)").arg(runRenamed).toUtf8().constData());
    printPhase("  full transformation (validated)", fullTransformation);
    printPhase("  validation alone (again)", validation);
    printPhase("  renaming", renaming, QStringLiteral("   (%1 renamed)").arg(phaseRenamed).toUtf8().constData());
    printTool("raw lstat + renameat2 loop", rawMs, QStringLiteral("   (%1 renamed)").arg(rawRenamed).toUtf8().constData());
    std::printf("  %-34s %9.2f KiB per file (%ld KiB over %ld KiB before opening)\n", "peak resident memory",
        double(peak - baseline) / layout.fileCount, peak - baseline, baseline);
    std::printf("    %-32s %9.2f KiB per file\n", "resident after opening",
        double(residentAfterOpen - baseline) / layout.fileCount);
    printRatio("open / find", open.milliseconds, findMs);
    printRatio("preview / rename -n", preview.milliseconds, renameNMs);
    printRatio("rename run / raw loop", run.milliseconds, rawMs);
    printRatio("renaming / raw loop", renaming.milliseconds, rawMs);
    std::printf("  %-34s %9.2f x   (processor time of the thread: %.1f ms against %.1f ms)\n", "renaming / raw loop, processor",
        rawCpuMs > 0 ? renamingCpuMs / rawCpuMs : 0.0, renamingCpuMs, rawCpuMs);
    std::fflush(stdout);

    // The view has no parent window here: it must go while the application still exists.
    delete table->view();
    table.reset();
    const bool complete = listed == layout.fileCount && runRenamed == layout.fileCount
        && phaseRenamed == layout.fileCount && rawRenamed == layout.fileCount;
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Layout layout;
    bool perFolderGiven = false;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0)
            layout.fileCount = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--per-folder") == 0) {
            layout.perFolder = std::atoi(argv[i + 1]);
            perFolderGiven = true;
        }
    }
    if (layout.fileCount > 0) {
        if (!perFolderGiven)
            layout.perFolder = layout.fileCount;
        if (layout.perFolder < 1) {
            std::fprintf(stderr, "usage: %s [--files N [--per-folder M]]\n", argv[0]);
            return 2;
        }
        return runOneSize(argc, argv, layout);
    }

    // The default run: each size in a fresh process, so that each peak is its own.
    QCoreApplication app(argc, argv);
    int status = 0;
    for (const char* size : { "10000", "100000" }) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QString::fromLocal8Bit(argv[0]), { QStringLiteral("--files"), QString::fromLatin1(size) });
        child.waitForFinished(-1);
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            status = 1;
        std::printf("\n");
    }
    return status;
}
