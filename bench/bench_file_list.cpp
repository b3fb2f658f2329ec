#include "files/FileDataSource.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int FILE_COUNT = 100000;

std::shared_ptr<FileDataSource> filledStore()
{
    QList<File> files;
    files.reserve(FILE_COUNT);
    for (int i = 0; i < FILE_COUNT; ++i) {
        ExtendedFileInfo info;
        info.fullPath = QStringLiteral("/photos/folder %1/IMG_%2.jpg").arg(i % 97).arg((i * 7919) % FILE_COUNT);
        info.path = QStringLiteral("/photos/folder %1").arg(i % 97);
        info.name = QStringLiteral("IMG_%1").arg((i * 7919) % FILE_COUNT);
        info.ext = QStringLiteral("jpg");
        const QUuid id = QUuid::createUuid();
        files.append(File(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
            FileValidation { id, {}, {} }, std::nullopt));
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
