// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/Preference.h"
#include "platform/DefaultsStore.h"
#include "uikit/FileDialogFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class FileDialogFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<DefaultsStore>(dir.filePath("defaults.json"));
        Preference::setStore(store.get());
        ASSERT_TRUE(QDir().mkpath(dir.filePath("work")) && QDir().mkpath(dir.filePath("last")));
    }
    void TearDown() override { Preference::setStore(nullptr); }

    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> store;
};

TEST_F(FileDialogFolderTest, TheFolderWorkedOnElseTheLastOneElseHome)
{
    const QString work = dir.filePath("work");
    const QString last = dir.filePath("last");
    const QString gone = dir.filePath("gone");
    struct Case {
        const char* what;
        QString context;
        QString remembered;
        QString start;
    };
    const QList<Case> cases {
        { "the folder worked on", work, last, work },
        { "the last one", {}, last, last },
        { "the last one, the other gone", gone, last, last },
        { "home, nothing known", {}, {}, QDir::homePath() },
        { "home, both gone", gone, gone, QDir::homePath() },
        { "home, not a folder", dir.filePath("defaults.json"), "relative/last", QDir::homePath() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store->setValue(FileDialogFolder::settingsKey("openFolder"), c.remembered);
        EXPECT_EQ(FileDialogFolder::startFolder("openFolder", c.context), c.start);
    }
    ASSERT_TRUE(QDir::homePath().startsWith(TestEnvironment::homePath()));
}

// Each dialog remembers where it was accepted, and only then.
TEST_F(FileDialogFolderTest, EachDialogRemembersTheFolderItWasAcceptedIn)
{
    const QString last = dir.filePath("last");
    {
        QFileDialog dialog;
        FileDialogFolder::attach(&dialog, "exportCsv", {});
        EXPECT_EQ(QDir(dialog.directory()).absolutePath(), QDir::homePath());
        dialog.setDirectory(last);
        static_cast<QDialog&>(dialog).done(QDialog::Rejected);
    }
    EXPECT_EQ(FileDialogFolder::startFolder("exportCsv", {}), QDir::homePath());
    {
        QFileDialog dialog;
        FileDialogFolder::attach(&dialog, "exportCsv", {});
        dialog.setDirectory(last);
        static_cast<QDialog&>(dialog).done(QDialog::Accepted);
    }
    EXPECT_EQ(FileDialogFolder::startFolder("exportCsv", {}), last);
    EXPECT_EQ(FileDialogFolder::startFolder("openRecipe", {}), QDir::homePath());
    // Kept in the settings, for the next run.
    EXPECT_EQ(DefaultsStore(store->filePath()).value(FileDialogFolder::settingsKey("exportCsv")).toString(), last);
}
