// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileDataSource.h"
#include "platform/BackgroundPool.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <malloc.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

constexpr int FILE_COUNT = 100000;

QList<File> freshFiles(int count = FILE_COUNT, int offset = 0)
{
    static const QString kind = QStringLiteral("JPEG image");
    static const QString contentType = QStringLiteral("image/jpeg");
    QList<File> files;
    files.reserve(count);
    for (int n = 0; n < count; ++n) {
        const int i = n + offset;
        ExtendedFileInfo info;
        info.fullPath = QStringLiteral("/photos/folder %1/IMG_%2.jpg").arg(i % 97).arg(i);
        info.path = QStringLiteral("/photos/folder %1").arg(i % 97);
        info.name = QStringLiteral("IMG_%1").arg(i);
        info.ext = QStringLiteral("jpg");
        // The facts a real listing reads, so that a record weighs what it does.
        info.kind = kind;
        info.contentType = contentType;
        info.localizedTypeDescription = kind;
        info.creationDate = QDateTime::fromSecsSinceEpoch(1700000000 + i);
        info.modificationDate = QDateTime::fromSecsSinceEpoch(1700000000 + i);
        info.contentAccessDate = QDateTime::fromSecsSinceEpoch(1700000000 + i);
        info.fileSize = 1000 + i;
        info.inode = static_cast<quint64>(i);
        info.device = 1;
        const QUuid id = QUuid::createUuid();
        files.append(File(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
            FileValidation { id, {}, {} }, std::nullopt));
    }
    return files;
}

std::shared_ptr<FileDataSource> filledStore()
{
    // Names out of order, so that a sort has work to do.
    QList<File> files = freshFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        ExtendedFileInfo& info = files[i].source.fileInfo;
        info.name = QStringLiteral("IMG_%1").arg((i * 7919) % FILE_COUNT);
        info.fullPath = info.path + QLatin1Char('/') + info.name + QStringLiteral(".jpg");
        files[i].transformed = FileTransform::initial(files[i].source.id, info, std::nullopt);
    }
    auto store = std::make_shared<FileDataSource>();
    store->replaceFilesNoUndo(files, FileAction::replace, false);
    return store;
}

void BM_Snapshot(benchmark::State& state)
{
    const auto store = filledStore();
    for (auto _ : state) {
        FileComponents components = store->getAllComponents();
        benchmark::DoNotOptimize(components);
    }
}
BENCHMARK(BM_Snapshot)->Unit(benchmark::kMicrosecond);

void BM_GetAllFiles(benchmark::State& state)
{
    const auto store = filledStore();
    for (auto _ : state) {
        QList<File> files = store->getAllFiles();
        benchmark::DoNotOptimize(files);
    }
}
BENCHMARK(BM_GetAllFiles)->Unit(benchmark::kMillisecond);

// The write-back of a preview: every file's transformed facet.
void BM_QuickWriteBack(benchmark::State& state)
{
    const auto store = filledStore();
    QList<File> files = store->getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = file.transformed.transformedName.value() + QStringLiteral("_new");
    for (auto _ : state) {
        const bool written = store->updateFiles(files, FileComponentMutation::transformed, QStringLiteral("Brackenfold/bench.cpp"));
        benchmark::DoNotOptimize(written);
    }
}
BENCHMARK(BM_QuickWriteBack)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state)
{
    const auto store = filledStore();
    const auto order = static_cast<FileSortOrder>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QList<int> reversed = store->orderedIndex();
        std::reverse(reversed.begin(), reversed.end());
        store->updateOrderedIndex(reversed);
        state.ResumeTiming();
        store->sortImmediate(order);
    }
    state.SetLabel(rawValue(order).toStdString());
}
BENCHMARK(BM_Sort)
    ->Arg(static_cast<int>(FileSortOrder::defaultSort))
    ->Arg(static_cast<int>(FileSortOrder::byNameAscending))
    ->Arg(static_cast<int>(FileSortOrder::byNumericNameAscending))
    ->Unit(benchmark::kMillisecond);

qint64 residentBytes()
{
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// The bytes the heap holds in use, in every arena: unlike the resident size,
// untouched by memory that a worker's arena keeps free.
qint64 heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
}

// The preview's write-back after every change, as the window does it: it
// detaches the facets the store shares with whatever still holds them.
void previewWriteBack(FileDataSource& store)
{
    QList<File> files = store.getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = file.transformed.transformedName.value() + QStringLiteral("_new");
    store.updateFiles(files, FileComponentMutation::transformed, QStringLiteral("Brackenfold/bench.cpp"));
}

// The undo of a re-open, once its step holds the replaced list by identity:
// the main thread builds that list again from the one in effect. Beside it,
// BM_GetAllFiles copies a list of the same length.
void BM_UndoReopen(benchmark::State& state)
{
    UndoManager undoManager;
    undoManager.setGroupsByEvent(false);
    MainWindowLocator::setUndoManager(&undoManager);
    auto store = std::make_shared<FileDataSource>();
    store->replaceFiles(freshFiles(), FileAction::replace);
    store->replaceFiles(freshFiles(), FileAction::replace);
    for (auto _ : state) {
        state.PauseTiming();
        BackgroundPool::waitForDone();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        undoManager.undo();
        state.PauseTiming();
        BackgroundPool::waitForDone();
        QCoreApplication::processEvents();
        undoManager.redo();
        state.ResumeTiming();
    }
    MainWindowLocator::setUndoManager(nullptr);
}
BENCHMARK(BM_UndoReopen)->Unit(benchmark::kMillisecond);

// What one undo step of the list keeps: the resident memory each further step
// adds, with the preview written back after every step, beside what the list
// itself takes. Arg 0: re-open the whole list; 1: append 100 files; 2: remove
// one file. The steps' reduction on the worker is awaited before each reading.
void BM_UndoStepMemory(benchmark::State& state)
{
    constexpr int STEPS = 5;
    const int kind = static_cast<int>(state.range(0));
    const auto settle = [] {
        BackgroundPool::waitForDone();
        QCoreApplication::processEvents();
        BackgroundPool::waitForDone();
    };
    std::vector<double> growth;
    std::vector<double> heapGrowth;
    double list = 0;
    double heapList = 0;
    for (auto _ : state) {
        UndoManager undoManager;
        MainWindowLocator::setUndoManager(&undoManager);
        const qint64 empty = residentBytes();
        const qint64 heapEmpty = heapBytes();
        auto store = std::make_shared<FileDataSource>();
        store->replaceFiles(freshFiles(), FileAction::replace);
        previewWriteBack(*store);
        settle();
        qint64 before = residentBytes();
        qint64 heapBefore = heapBytes();
        list = double(before - empty);
        heapList = double(heapBefore - heapEmpty);
        growth.clear();
        heapGrowth.clear();
        for (int step = 0; step < STEPS; ++step) {
            if (kind == 0)
                store->replaceFiles(freshFiles(), FileAction::replace);
            else if (kind == 1)
                store->replaceFiles(freshFiles(100, FILE_COUNT + step * 100), FileAction::append);
            else
                store->removeFiles({ store->orderedIndex().first() });
            previewWriteBack(*store);
            settle();
            const qint64 after = residentBytes();
            const qint64 heapAfter = heapBytes();
            growth.push_back(double(after - before));
            heapGrowth.push_back(double(heapAfter - heapBefore));
            before = after;
            heapBefore = heapAfter;
        }
        MainWindowLocator::setUndoManager(nullptr);
    }
    constexpr double MiB = 1024.0 * 1024.0;
    state.counters["list_MiB"] = list / MiB;
    state.counters["list_heap_MiB"] = heapList / MiB;
    for (int step = 0; step < STEPS; ++step) {
        state.counters["step" + std::to_string(step + 1) + "_MiB"] = growth.at(step) / MiB;
        state.counters["step" + std::to_string(step + 1) + "_heap_MiB"] = heapGrowth.at(step) / MiB;
    }
    static const char* const kinds[] = { "re-open 100000 files", "append 100 files", "remove 1 file" };
    state.SetLabel(kinds[kind]);
}
BENCHMARK(BM_UndoStepMemory)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
