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
#include "uikit/ScriptedAlertPresenter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A fresh file list store in the registry, and folders under the test home
// folder (the only place files may be opened from).
class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
