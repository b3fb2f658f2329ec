// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "platform/NotificationCenter.h"
#include "filetable/FileTableModel.h"
#include "filetable/TableViewController.h"

#include <gtest/gtest.h>

namespace {

struct Request {
    QString path;
    LateUpdateRequester::Priority priority;
    bool dirty;
};

File late(const QString& path)
{
    File file = settled(makeFile(path));
    file.transformed.lateUpdateRequired = true;
    return file;
}

QList<File> lateFiles(int count)
{
    QList<File> files;
    for (int i = 0; i < count; ++i)
        files << late(QStringLiteral("/late/%1.txt").arg(i, 4, 10, QLatin1Char('0')));
    return files;
}

} // namespace

class LateUpdateTest : public FileTableFixture {
protected:
    void SetUp() override
    {
        FileTableFixture::SetUp();
        controller = std::make_unique<TableViewController>();
    }
    void TearDown() override
    {
        controller.reset();
        FileTableFixture::TearDown();
    }
    void installHook()
    {
        controller->setLateUpdateHook([this](const File& file, LateUpdateRequester::Priority priority) {
            requests.push_back({ file.source.fileInfo.fullPath, priority, file.transformed.isDirty });
        });
    }
    void show(const QList<File>& files)
    {
        fill(files);
        controller->view()->resize(800, 300);
        controller->view()->show();
        TestEnvironment::drainEvents();
    }
    void paint() { controller->fileTableView()->viewport()->grab(); }
    void announce() { NotificationCenter::defaultCenter().post({ NotificationName::dataSourceUpdated, {}, std::nullopt }); }
    int visibleRows() const
    {
        FileTableView* table = controller->fileTableView();
        return table->rowAt(table->viewport()->height() - 1) - table->rowAt(0) + 1;
    }

    std::unique_ptr<TableViewController> controller;
    std::vector<Request> requests;
};

TEST_F(LateUpdateTest, APaintedLateFileIsRequestedOncePerGenerationAtTheFront)
{
    show(lateFiles(1000)); // the store's applyChanges arrives before the hook
    installHook();
    paint();
    paint();
    paint();
    const int visible = visibleRows();
    ASSERT_GT(visible, 3);
    ASSERT_LT(visible, 100);
    EXPECT_EQ(int(requests.size()), visible);
    for (const Request& r : requests)
        EXPECT_EQ(r.priority, LateUpdateRequester::Priority::high);
    EXPECT_EQ(requests.front().path, QStringLiteral("/late/0000.txt"));

    // A reload of the same list asks for nothing new.
    announce();
    paint();
    EXPECT_EQ(int(requests.size()), visible);

    // A new generation of the list asks again, once: the store's applyChanges
    // queues the visible rows and painting them adds nothing.
    requests.clear();
    fill(store->getAllFiles());
    TestEnvironment::drainEvents();
    paint();
    EXPECT_EQ(int(requests.size()), visible);
    QSet<QString> paths;
    for (const Request& r : requests)
        paths << r.path;
    EXPECT_EQ(int(paths.size()), visible);
}

TEST_F(LateUpdateTest, AFileMarkedLateAgainAfterItsUpdateLandedIsRequestedAgain)
{
    installHook();
    show({ late("/late/a.txt"), late("/late/b.txt") });
    paint();
    ASSERT_EQ(requests.size(), 2u);

    QList<File> files = store->getAllFiles();
    files[0].transformed.lateUpdateRequired = false;
    ASSERT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, QStringLiteral("Brackenfold/Test.cpp")));
    announce();
    paint();
    files = store->getAllFiles();
    files[0].transformed.lateUpdateRequired = true;
    ASSERT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, QStringLiteral("Brackenfold/Test.cpp")));
    announce();
    paint();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests.back().path, QStringLiteral("/late/a.txt"));
}

TEST_F(LateUpdateTest, ApplyChangesQueuesTheVisibleLateFilesAtTheBackMarkedDirty)
{
    show(lateFiles(500)); // painted without a hook: nothing queued, nothing remembered
    installHook();
    EXPECT_EQ(controller->lateUpdates().pendingCount(), 0);
    NotificationCenter::defaultCenter().post({ NotificationName::applyChanges, {}, std::nullopt });
    const int visible = visibleRows();
    ASSERT_EQ(int(requests.size()), visible);
    for (const Request& r : requests) {
        EXPECT_EQ(r.priority, LateUpdateRequester::Priority::normal);
        EXPECT_TRUE(r.dirty);
    }
    paint();
    EXPECT_EQ(int(requests.size()), visible);
}

TEST_F(LateUpdateTest, WithoutAHookNothingIsQueued)
{
    show(lateFiles(5));
    paint();
    NotificationCenter::defaultCenter().post({ NotificationName::applyChanges, {}, std::nullopt });
    EXPECT_EQ(controller->lateUpdates().pendingCount(), 0);
    EXPECT_TRUE(controller->fileTableView()->isSpinning());
}
