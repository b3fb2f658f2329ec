// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DependencyInjectionRegistry.h"
#include "filetable/FileTableModel.h"
#include "filetable/TableViewController.h"
#include "files/FileDataSource.h"

#include <QApplication>
#include <QItemSelectionModel>

#include <benchmark/benchmark.h>

namespace {

constexpr int FILE_COUNT = 100000;

std::shared_ptr<FileDataSource> filledStore()
{
    QList<File> files;
    files.reserve(FILE_COUNT);
    for (int i = 0; i < FILE_COUNT; ++i) {
        ExtendedFileInfo info;
        // Every tenth file is hidden, so the filter has work to do.
        const QString name = (i % 10 == 0 ? QStringLiteral(".IMG_%1") : QStringLiteral("IMG_%1")).arg(i);
        info.path = QStringLiteral("/photos/folder %1").arg(i % 97);
        info.fullPath = info.path + QLatin1Char('/') + name + QStringLiteral(".jpg");
        info.name = name;
        info.ext = QStringLiteral("jpg");
        const QUuid id = QUuid::createUuid();
        FileTransform transform = FileTransform::initial(id, info, std::nullopt);
        transform.isDirty = false;
        transform.transformedName = name + QStringLiteral("-new");
        files.append(File(std::nullopt, std::nullopt, FileSource(id, info), transform, FileValidation { id, {}, {} },
            std::nullopt));
    }
    auto store = std::make_shared<FileDataSource>();
    store->replaceFilesNoUndo(files, FileAction::replace, false);
    return store;
}

std::shared_ptr<FileDataSource>& sharedStore()
{
    static std::shared_ptr<FileDataSource> store = filledStore();
    return store;
}

// The rows stay the same files: refreshed in place.
void BM_ReloadSameRows(benchmark::State& state)
{
    FileTableModel model;
    model.setFileDataSource(sharedStore());
    model.reloadData();
    for (auto _ : state)
        benchmark::DoNotOptimize(model.reloadData());
}
BENCHMARK(BM_ReloadSameRows)->Unit(benchmark::kMillisecond);

// The hidden files come and go: the row list changes every time.
void BM_ReloadWithFilterChange(benchmark::State& state)
{
    FileTableModel model;
    model.setFileDataSource(sharedStore());
    for (auto _ : state) {
        model.filter.toggleHiddenFiles();
        benchmark::DoNotOptimize(model.reloadData());
    }
}
BENCHMARK(BM_ReloadWithFilterChange)->Unit(benchmark::kMillisecond);

// A store change announced to a shown table with a selection and a scroll position.
void BM_DataSourceUpdatedOnShownTable(benchmark::State& state)
{
    DependencyInjectionRegistry::shared().registerInstance(sharedStore());
    TableViewController controller;
    controller.view()->resize(1200, 800);
    controller.view()->show();
    QApplication::processEvents();
    auto* table = controller.fileTableView();
    table->selectionModel()->select(
        QItemSelection(controller.model()->index(40000, 0), controller.model()->index(40100, 3)),
        QItemSelectionModel::ClearAndSelect);
    table->scrollTo(controller.model()->index(40000, 0));
    const Notification announcement { NotificationName::dataSourceUpdated, {}, std::nullopt };
    for (auto _ : state) {
        controller.filter().toggleHiddenFiles();
        controller.dataSourceUpdatedEvent(announcement);
        table->viewport()->repaint();
    }
}
BENCHMARK(BM_DataSourceUpdatedOnShownTable)->Unit(benchmark::kMillisecond);

// Painting the visible rows of 100,000.
void BM_PaintVisibleRows(benchmark::State& state)
{
    DependencyInjectionRegistry::shared().registerInstance(sharedStore());
    TableViewController controller;
    controller.view()->resize(1200, 800);
    controller.view()->show();
    QApplication::processEvents();
    controller.fileTableView()->scrollTo(controller.model()->index(50000, 0));
    for (auto _ : state)
        controller.fileTableView()->viewport()->repaint();
}
BENCHMARK(BM_PaintVisibleRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
