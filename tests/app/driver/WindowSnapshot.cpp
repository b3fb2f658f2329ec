// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowSnapshot.h"

#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "filetable/FileTableModel.h"
#include "filetable/TableViewController.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace WindowSnapshot {

namespace {
constexpr int POLL_MS = 50;
// Only ends a run that would never settle; the script's own limit is longer.
constexpr int GIVE_UP_MS = 80000;

// The rows the file table shows, or -1 without a table.
long shownRows()
{
    const auto table = Inject<TableViewController>().get();
    return table ? table->numberOfRows() : -1;
}

// The opened files are listed and their preview has landed.
bool isSettled()
{
    const auto fileDataSource = Inject<FileDataSource>().get();
    if (!fileDataSource || fileDataSource->count() == 0)
        return false;
    const QList<File> files = fileDataSource->getAllFiles();
    return std::none_of(files.cbegin(), files.cend(), [](const File& file) { return FileTableModel::isBusy(file); });
}

void saveAndQuit(QWidget* window, const QString& path)
{
    const bool saved = window->grab().save(path, "PNG");
    Log::info(Log::Category::ui, "Window snapshot %{public}s: %{public}s", saved ? "written" : "failed", path);
    // The smoke run checks that the table showed the opened files.
    std::fprintf(stderr, "Window snapshot: the file table shows %ld rows\n", shownRows());
    QApplication::exit(saved ? 0 : 3);
}
} // namespace

void installFromEnvironment(QWidget* window)
{
    const QString path = qEnvironmentVariable("BRACKENFOLD_SCREENSHOT");
    if (path.isEmpty() || !window)
        return;
    QPointer<QWidget> target(window);
    // The table reloads after the store tells it, on a later turn of the event
    // loop: the picture is taken once it shows every listed file, however long
    // a loaded machine takes for that.
    auto grabSoon = [target, path] {
        auto* poll = new QTimer(target);
        poll->setInterval(POLL_MS);
        QObject::connect(poll, &QTimer::timeout, target, [target, path, poll] {
            const auto fileDataSource = Inject<FileDataSource>().get();
            if (fileDataSource && shownRows() != fileDataSource->count())
                return;
            poll->stop();
            saveAndQuit(target, path);
        });
        poll->start();
    };
    if (!QCoreApplication::arguments().contains(QStringLiteral("-d"))) {
        grabSoon();
        return;
    }
    // The files arrive from a task and their new names from the preview: wait
    // for both, once.
    auto* observer = new QObject(window);
    NotificationCenter::defaultCenter().addObserver(observer, NotificationName::dataSourceUpdated,
        [observer, grabSoon](const Notification&) {
            if (!isSettled())
                return;
            grabSoon();
            observer->deleteLater();
        });
    QTimer::singleShot(GIVE_UP_MS, window, [] {
        Log::error(Log::Category::ui, "Window snapshot: the opened files never arrived");
        QApplication::exit(2);
    });
}

} // namespace WindowSnapshot
