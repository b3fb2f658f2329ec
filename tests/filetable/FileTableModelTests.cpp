// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "filetable/AttributedStringIcon.h"
#include "filetable/FileTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Collects the warnings the model tester reports instead of failing at once.
class WarningCapture {
public:
    WarningCapture() { s_current = this, m_previous = qInstallMessageHandler(handler); }
    ~WarningCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    QStringList warnings;

private:
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (s_current && type >= QtWarningMsg)
            s_current->warnings << message;
    }
    static inline WarningCapture* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
};

QStringList column(const FileTableModel& model, FileTableColumn column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, FileTableColumns::rawValue(column)).data().toString();
    return texts;
}

} // namespace

using FileTableModelTest = FileTableFixture;

TEST_F(FileTableModelTest, StaysAConsistentModelThroughResetsFilterTogglesAndRemovals)
{
    WarningCapture capture;
    FileTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

    model.reloadData();
    EXPECT_FALSE(model.hasFilesView());
    EXPECT_EQ(model.rowCount(), 0);

    model.setFileDataSource(store);
    fill({ settled(makeFile("/a/1.txt")), renamed(makeFile("/a/2.txt"), "two"), settled(makeFile("/a/.3")),
        renamed(makeFile("/a/4.txt"), "four"), settled(makeFile("/a/5.txt")) });
    EXPECT_TRUE(model.reloadData());
    EXPECT_EQ(column(model, FileTableColumn::originalName), QStringList({ "1.txt", "2.txt", "4.txt", "5.txt" }));

    model.filter.toggleToBeChanged();
    EXPECT_TRUE(model.reloadData());
    EXPECT_EQ(column(model, FileTableColumn::transformedName), QStringList({ "two.txt", "four.txt" }));
    model.filter.toggleToBeChanged();
    model.filter.toggleHiddenFiles();
    model.reloadData();
    EXPECT_EQ(model.rowCount(), 5);

    store->removeFiles({ 0, 2 });
    EXPECT_TRUE(model.reloadData());
    EXPECT_EQ(column(model, FileTableColumn::originalName), QStringList({ "2.txt", "4.txt", "5.txt" }));

    // The same rows again: refreshed in place, given rows only.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    EXPECT_FALSE(model.reloadData(IndexSet { 2, 0 }));
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 0);
    EXPECT_EQ(changed.at(1).at(0).toModelIndex().row(), 2);

    store->replaceFilesNoUndo({}, FileAction::clear, false);
    model.reloadData();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.hasFilesView());
    EXPECT_TRUE(capture.warnings.isEmpty()) << capture.warnings.join('\n').toStdString();
}

// The reload decides most rows from the hidden flag alone; under every filter
// setting it must show exactly the rows the filter picks file by file.
TEST_F(FileTableModelTest, TheRowsAreTheOnesTheFilterPicksUnderEverySetting)
{
    const QList<File> files { settled(makeFile("/a/1.txt")), renamed(makeFile("/a/2.txt"), "two"),
        settled(makeFile("/a/.3")), renamed(makeFile("/a/.4"), ".four"), withError(makeFile("/a/.5")),
        settled(makeFile("/a/sub", true)), settled(makeFile("/a/.hidden", true)), withError(makeFile("/a/6.txt")) };
    FileTableModel model;
    model.setFileDataSource(store);
    fill(files);
    for (int setting = 0; setting < 8; ++setting) {
        model.filter = FileTableFilter { bool(setting & 1), bool(setting & 2), bool(setting & 4) };
        model.reloadData();
        QStringList expected;
        for (const File& file : files) {
            if (model.filter.filterFile(file))
                expected << file.source.fileInfo.fullPath;
        }
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown << model.fileAt(row)->source.fileInfo.fullPath;
        EXPECT_EQ(shown, expected) << "filter setting " << setting;
    }
}

TEST_F(FileTableModelTest, CellTextsShowNamesAsOnDiskAndFoldersByTheirOwnName)
{
    File folder = settled(makeFile("/a/Pho:tos", true));
    folder.transformed.transformedPath = QStringLiteral("/b/Pic:tures");
    File counted = renamed(makeFile("/a/x.txt"), "new");
    counted.transformed.uniqueSuffix = QStringLiteral(" 2");
    File countedFolder = folder;
    countedFolder.transformed.uniqueSuffix = QStringLiteral(" 2");
    struct Case {
        File file;
        QStringList texts; // original path, original name, new path, new name
    };
    const Case cases[] = {
        // A colon is an ordinary character of a Linux name, shown as it is.
        { settled(makeFile("/a/b:c/x:y.txt")), { "/a/b:c", "x:y.txt", "/a/b:c", "x:y.txt" } },
        { settled(makeFile("/a/README")), { "/a", "README", "/a", "README" } },
        { folder, { "/a", "Pho:tos", "/b", "Pic:tures" } },
        { counted, { "/a", "x.txt", "/a", "new 2.txt" } },
        { countedFolder, { "/a", "Pho:tos", "/b", "Pic:tures 2" } },
    };
    for (const Case& c : cases) {
        QStringList texts;
        for (FileTableColumn col : FileTableColumns::all)
            texts << FileTableModel::cellText(c.file, col);
        EXPECT_EQ(texts, c.texts) << c.file.source.fileInfo.fullPath.toStdString();
    }
}

TEST_F(FileTableModelTest, TintIconAndToolTipFollowTheFileStatus)
{
    using Tint = FileTableTextTint;
    using namespace AttributedStringIcon;
    struct Case {
        const char* what;
        File file;
        bool selectRuleLeavesItOut;
        Tint originalTint;
        Tint transformedTint;
        const QIcon* originalIcon;
        const QIcon* statusIcon;
        QString toolTip; // empty: none
    };
    File unselected = renamed(makeFile("/a/x.txt"), "y");
    unselected.transformed.isSelected = false;
    File folderRenamed = settled(makeFile("/a/Photos", true));
    folderRenamed.transformed.transformedPath = QStringLiteral("/a/Pictures");
    const Case cases[] = {
        { "unchanged file", settled(makeFile("/a/x.txt")), false, Tint::normal, Tint::dimmed, &file(), &fileUnchanged(), "" },
        { "renamed file", renamed(makeFile("/a/x.txt"), "y"), false, Tint::normal, Tint::normal, &file(), &fileOK(), "" },
        { "renamed file with a warning", withWarning(renamed(makeFile("/a/x.txt"), "y"), "Long"), false, Tint::normal,
            Tint::warning, &file(), &fileWarning(), "Long" },
        { "file with an error and a warning", withWarning(withError(renamed(makeFile("/a/x.txt"), "y"), "Bad"), "Long"),
            false, Tint::normal, Tint::error, &file(), &fileError(), "Bad" },
        { "file with two errors", withError(withError(renamed(makeFile("/a/x.txt"), "y"), "B"), "A"), false,
            Tint::normal, Tint::error, &file(), &fileError(), "A\nB" },
        { "renamed hidden file", renamed(makeFile("/a/.x"), ".y"), false, Tint::dimmed, Tint::normal, &fileUnchanged(),
            &fileOK(), "" },
        { "renamed file a Select rule leaves out", unselected, true, Tint::dimmed, Tint::dimmed, &fileUnchanged(),
            &fileOK(), "" },
        { "unchanged folder", settled(makeFile("/a/Photos", true)), false, Tint::normal, Tint::dimmed, &folder(),
            &folderUnchanged(), "" },
        { "renamed folder", folderRenamed, false, Tint::normal, Tint::normal, &folder(), &AttributedStringIcon::folder(),
            "" },
        { "renamed folder with an error", withError(folderRenamed, "Bad"), false, Tint::normal, Tint::error, &folder(),
            &folderUnchanged(), "Bad" },
        { "renamed folder with a warning", withWarning(folderRenamed, "Long"), false, Tint::normal, Tint::warning,
            &folder(), &AttributedStringIcon::folder(), "Long" },
    };
    for (const Case& c : cases) {
        fill({ c.file });
        FileTableModel model;
        model.setFileDataSource(store);
        model.setSelectRuleInForce([&] { return c.selectRuleLeavesItOut; });
        model.reloadData();
        ASSERT_EQ(model.rowCount(), 1) << c.what;
        auto cell = [&](FileTableColumn col, int role) { return model.index(0, FileTableColumns::rawValue(col)).data(role); };
        EXPECT_EQ(cell(FileTableColumn::originalPath, FileTableModel::TintRole).toInt(), int(c.originalTint)) << c.what;
        EXPECT_EQ(cell(FileTableColumn::originalName, FileTableModel::TintRole).toInt(), int(c.originalTint)) << c.what;
        EXPECT_EQ(cell(FileTableColumn::transformedPath, FileTableModel::TintRole).toInt(), int(c.transformedTint))
            << c.what;
        EXPECT_EQ(cell(FileTableColumn::transformedName, FileTableModel::TintRole).toInt(), int(c.transformedTint))
            << c.what;
        EXPECT_EQ(cell(FileTableColumn::originalName, Qt::DecorationRole).value<QIcon>().cacheKey(),
            c.originalIcon->cacheKey())
            << c.what;
        EXPECT_EQ(cell(FileTableColumn::transformedName, Qt::DecorationRole).value<QIcon>().cacheKey(),
            c.statusIcon->cacheKey())
            << c.what;
        for (FileTableColumn col : { FileTableColumn::transformedPath, FileTableColumn::transformedName })
            EXPECT_EQ(cell(col, Qt::ToolTipRole).toString(), c.toolTip) << c.what;
        EXPECT_FALSE(cell(FileTableColumn::originalName, Qt::ToolTipRole).isValid()) << c.what;
    }
}

TEST_F(FileTableModelTest, WithoutASelectRuleEveryRowCountsAsSelected)
{
    File unselected = renamed(makeFile("/a/x.txt"), "y");
    unselected.transformed.isSelected = false;
    FileTableModel model;
    EXPECT_TRUE(model.getIsSelectedState(unselected));
    model.setSelectRuleInForce([] { return false; });
    EXPECT_TRUE(model.getIsSelectedState(unselected));
    model.setSelectRuleInForce([] { return true; });
    EXPECT_FALSE(model.getIsSelectedState(unselected));
}

TEST_F(FileTableModelTest, OnlyTheNewNameOfAnUnfinishedFileIsBusy)
{
    File late = renamed(makeFile("/a/late.txt"), "l");
    late.transformed.lateUpdateRequired = true;
    File dirty = makeFile("/a/dirty.txt"); // the preview has not run yet
    fill({ late, dirty, settled(makeFile("/a/done.txt")) });
    FileTableModel model;
    model.setFileDataSource(store);
    model.reloadData();
    const int name = FileTableColumns::rawValue(FileTableColumn::transformedName);
    EXPECT_TRUE(model.index(0, name).data(FileTableModel::BusyRole).toBool());
    EXPECT_TRUE(model.index(1, name).data(FileTableModel::BusyRole).toBool());
    EXPECT_FALSE(model.index(2, name).data(FileTableModel::BusyRole).toBool());
    EXPECT_FALSE(model.index(0, 0).data(FileTableModel::BusyRole).toBool());
    EXPECT_TRUE(model.index(0, 0).data(FileTableModel::LateUpdateRole).toBool());
}

TEST_F(FileTableModelTest, RowsCarryTheirStorageIndexAndGeneration)
{
    fill(makeFiles({ "/a/1", "/a/2", "/a/3" }));
    store->move({ 2 }, 0);
    FileTableModel model;
    model.setFileDataSource(store);
    model.reloadData();
    const auto first = model.fileAt(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->index, 2);
    EXPECT_EQ(first->fileGenerationId, store->fileGenerationId());
    EXPECT_EQ(model.index(0, 0).data(FileTableModel::StorageIndexRole).toLongLong(), 2);
    EXPECT_FALSE(model.fileAt(3));
    EXPECT_FALSE(model.fileAt(-1));
}

