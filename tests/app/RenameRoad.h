// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/OpenFolderEventHandler.h"
#include "app/RenameRunAlerts.h"
#include "core/AppNotification+Typed.h"
#include "core/Preference.h"
#include "engine/RunTestSupport.h"
#include "engine/TransformationEventHandler.h"
#include "filetable/FileTableModel.h"
#include "platform/DefaultsStore.h"
#include "tokens/MediaFixtures.h"
#include "uikit/ModalAlertViewController.h"

#include <QLabel>

// The whole road through the shell: start-up, the open-folder flow, the preview
// and the rename run started by commitChanges, with scripted alerts.
class RenameRoadTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        store = std::make_unique<DefaultsStore>(settings.filePath("defaults.json"));
        Preference::setStore(store.get());
        makeWindow();
        delegate = std::make_unique<AppDelegate>(window.get());
        delegate->applicationWillFinishLaunching({ QStringLiteral("brackenfold") });
        window->show();
        delegate->applicationDidFinishLaunching();
        fileDataSource = DependencyInjectionRegistry::get<FileDataSource>("test", "test", 0);
        transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
        handler = DependencyInjectionRegistry::get<TransformationEventHandler>("test", "test", 0);
        ASSERT_TRUE(fileDataSource && transformers && handler);
    }

    void TearDown() override
    {
        EXPECT_TRUE(settleBackgroundWork()) << "background work did not end";
        delegate.reset();
        AppTest::TearDown();
        Preference::setStore(nullptr);
    }

    void open(const QList<QUrl>& urls)
    {
        AppNotification::OpenFolder::post(urls, false, FileAction::replace);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            return fileDataSource->count() == urls.size() && !delegate->openFolderEventHandler()->openFilesTask().isValid();
        }));
    }
    void open(const QString& folder, int expectedCount)
    {
        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, false, FileAction::replace);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            return fileDataSource->count() == expectedCount
                && !delegate->openFolderEventHandler()->openFilesTask().isValid();
        }));
    }

    QStringList newNames() const
    {
        QStringList names;
        for (const File& file : fileDataSource->getAllFiles())
            names << file.transformed.transformedName.value() + file.transformed.transformedExtSuffix();
        return names;
    }

    // Posts commitChanges as the Rename button does and waits for the run to
    // end: input unblocked again and the handler's task released. A report on
    // the alert sheet holds the queued notifications back until it is closed,
    // as it does for the user: its texts are kept and its button pressed.
    void renameAndWait()
    {
        report.clear();
        NotificationRecorder recorder({ NotificationName::disableUserInput, NotificationName::enableUserInput });
        AppNotification::post(NotificationName::commitChanges);
        ModalAlertViewController& sheet = ModalAlertViewController::shared();
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] {
                if (!presenter.presented.isEmpty() && report.isEmpty()) {
                    report << sheet.messageText()->text() << sheet.informativeText()->text();
                    sheet.buttonAction();
                }
                return recorder.count(NotificationName::enableUserInput) == 1 && !handler->transformationTask().isValid();
            }));
        EXPECT_EQ(recorder.count(NotificationName::disableUserInput), 1);
        TestEnvironment::drainEvents();
    }

    QStringList entries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir settings;
    std::unique_ptr<DefaultsStore> store;
    std::unique_ptr<AppDelegate> delegate;
    std::shared_ptr<FileDataSource> fileDataSource;
    std::shared_ptr<Transformers> transformers;
    std::shared_ptr<TransformationEventHandler> handler;
    ScriptedAlertPresenter presenter;
    QStringList report; // message and informative text of the last report
};
