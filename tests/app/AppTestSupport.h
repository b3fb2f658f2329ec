// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/ProgressViewController.h"
#include "app/SplitViewController.h"
#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "filetable/TableViewController.h"
#include "platform/BackgroundPool.h"
#include "platform/GlobalActors.h"
#include "uikit/ScriptedAlertPresenter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// Runs the event loop until the background work set off so far has ended: our
// pool and the four executors idle, their posted results handled, and a whole
// round with no progress indicator shown or hidden. Work that outlives its test
// posts into the next one and writes to the store that test registered.
inline bool settleBackgroundWork(std::chrono::seconds timeout = std::chrono::seconds(120))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto left = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    };
    NotificationRecorder progress({ NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator });
    for (int quietRounds = 0; quietRounds < 2;) {
        const size_t seen = progress.received.size();
        // The pool's jobs may wait for this thread, so it is waited for on a
        // thread of its own while the event loop runs. Then the executors: a
        // job that a pool job handed them runs before the marker behind it.
        auto poolDone = std::make_shared<std::atomic_bool>(false);
        std::thread([poolDone] {
            BackgroundPool::waitForDone();
            *poolDone = true;
        }).detach();
        if (!TestEnvironment::processEventsUntil([&] { return poolDone->load(); }, left()))
            return false;
        auto executorsLeft = std::make_shared<std::atomic_int>(4);
        for (SerialExecutor* executor : { &GlobalActors::transformation(), &GlobalActors::validation(),
                 &GlobalActors::transformationQueue(), &GlobalActors::fileAttributes() })
            executor->submit([executorsLeft] { --*executorsLeft; });
        if (!TestEnvironment::processEventsUntil([&] { return executorsLeft->load() == 0; }, left()))
            return false;
        TestEnvironment::drainEvents();
        quietRounds = progress.received.size() == seen ? quietRounds + 1 : 0;
    }
    return true;
}

// A fresh file list store in the registry, and folders under the test home
// folder (the only place files may be opened from).
class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settleBackgroundWork()) << "work of an earlier test still runs";
        // The shared objects of start-up, with a store of the test's own.
        AppDelegate::initDependencyRegistry();
        dataSource = std::make_shared<FileDataSource>();
        dataSource->setSortMenuSelector(&MainMenu::selectSortMenu);
        DependencyInjectionRegistry::shared().registerInstance(dataSource);
        DependencyInjectionRegistry::shared().registerInstance(std::make_shared<TableViewController>());
        DependencyInjectionRegistry::shared().registerInstance(ProgressViewController::shared());
        MainMenu::globalMenuActions();
    }

    void TearDown() override
    {
        // The test's work ends while its window and store are still there.
        EXPECT_TRUE(settleBackgroundWork()) << "background work did not end";
        window.reset();
        TestEnvironment::drainEvents();
    }

    MainWindow& makeWindow()
    {
        window = std::make_unique<MainWindow>();
        window->setContentViewController(new SplitViewController);
        window->resize(800, 500);
        return *window;
    }

    // A folder under the home folder holding `names`.
    QString makeFolder(const QStringList& names)
    {
        auto dir = std::make_unique<QTemporaryDir>(TestEnvironment::homePath() + QStringLiteral("/folder-XXXXXX"));
        for (const QString& name : names) {
            QFile file(dir->filePath(name));
            file.open(QIODevice::WriteOnly);
        }
        const QString path = dir->path();
        folders.push_back(std::move(dir));
        return path;
    }

    std::shared_ptr<FileDataSource> dataSource;
    std::unique_ptr<MainWindow> window;
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
};
