// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestEnvironment.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
#include "files/FileDataSource.h"
#include "files/FileFixtures.h"
#include "platform/DefaultsStore.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A file the rules rename to `newName` (name only, extension kept).
inline File renamed(File file, const QString& newName)
{
    file.transformed.transformedName = newName;
    file.transformed.isDirty = false;
    return file;
}

// A file whose preview is done and leaves it as it is.
inline File settled(File file)
{
    file.transformed.isDirty = false;
    return file;
}

inline File withError(File file, const QString& error = QStringLiteral("Invalid name"))
{
    file.validation.insertError(error);
    return file;
}

inline File withWarning(File file, const QString& warning = QStringLiteral("Check the name"))
{
    file.validation.insertWarning(warning);
    return file;
}

// Settings in a temporary file, an undo manager for the store's steps, and a
// file list store registered where the table looks for it.
class FileTableFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        defaults = std::make_unique<DefaultsStore>(settingsDir.filePath(QStringLiteral("defaults.json")));
        Preference::setStore(defaults.get());
        Preference::initDefaults();
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        store = std::make_shared<FileDataSource>();
        DependencyInjectionRegistry::shared().registerInstance(store);
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
        Preference::setStore(nullptr);
    }
    void fill(const QList<File>& files) { store->replaceFilesNoUndo(files, FileAction::replace, false); }

    QTemporaryDir settingsDir;
    std::unique_ptr<DefaultsStore> defaults;
    UndoManager undoManager;
    std::shared_ptr<FileDataSource> store;
};
