#include "tokenui/TokenTextViewController.h"
#include "tokenui/TokenAttributePanelController.h"

#include "core/AppNotification+Typed.h"
#include "support/NotificationRecorder.h"
#include "support/TestEnvironment.h"
#include "tokens/TokenDetailsList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

int rowOf(const TokenTableView& table, const QString& tokenId)
{
    for (int row = 0; row < table.data().size(); ++row)
        if (table.data().at(row)->tokenId() == tokenId)
            return row;
    return -1;
}

class TokenChooser : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestEnvironment::drainEvents();
        chooser.show();
        QApplication::setActiveWindow(&chooser);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    }
    // The token ids the chooser sent to the rule editor so far.
    QStringList inserted()
    {
        TestEnvironment::drainEvents();
        QStringList ids;
        for (const Notification& n : recorder.received)
            if (n.name == NotificationName::insertToken)
                ids << AppNotification::InsertToken::get(n).value_or(QString());
        return ids;
    }
    TokenTableView* fileTable() { return chooser.tableView(0); }

    TokenTextViewController chooser;
    NotificationRecorder recorder { { NotificationName::insertToken, NotificationName::transformButtonSave } };
};

TEST_F(TokenChooser, eachTabListsOneCategoryOfTheCatalog)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    const QList<std::pair<QString, qsizetype>> tabs = {
        { "file", catalog.basicTokenDetails.size() },
        { "exif", catalog.exifTokenDetails.size() },
        { "gps", catalog.gpsTokenDetails.size() },
        { "id3", catalog.id3TokenDetails.size() },
        { "flac", catalog.flacTokenDetails.size() },
        { "av", catalog.avTokenDetails.size() },
    };
    ASSERT_EQ(chooser.tabView()->count(), tabs.size());
    for (int tab = 0; tab < tabs.size(); ++tab) {
        TokenTableView* table = chooser.tableView(tab);
        EXPECT_EQ(table->objectName(), tabs.at(tab).first);
        EXPECT_EQ(table->rowCount(), tabs.at(tab).second) << tabs.at(tab).first.toStdString();
    }
    TokenTableView unknown(QStringLiteral("media"));
    EXPECT_EQ(unknown.rowCount(), 0);
    EXPECT_FALSE(unknown.selectedTokenString().has_value());
}

TEST_F(TokenChooser, namesEachCategoryAsTheTokenPanelDoes)
{
    TokenAttributePanelController panel;
    QStringList segments;
    for (QAbstractButton* button : panel.buttonBar()->buttons())
        segments << button->text();
    for (int tab = 0; tab < chooser.tabView()->count(); ++tab) {
        const TokenTableView* table = chooser.tableView(tab);
        ASSERT_FALSE(table->data().isEmpty()) << table->objectName().toStdString();
        const QString title = chooser.tabView()->tabText(tab);
        // The title names the category of the tokens the tab lists.
        EXPECT_EQ(title, TokenCategories::rawValue(table->data().first()->category())) << table->objectName().toStdString();
        EXPECT_TRUE(segments.contains(title)) << title.toStdString() << " is not a segment of the panel";
        EXPECT_EQ(table->accessibleName(), title + " tokens");
    }
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool inserts;
};

TEST_F(TokenChooser, enterOrReturnInsertsTheSelectedTokenUnlessShiftOrCtrlIsHeld)
{
    const QList<KeyCase> cases = {
        { "Enter", Qt::Key_Enter, Qt::KeypadModifier, true },
        { "Enter with Alt", Qt::Key_Enter, Qt::KeypadModifier | Qt::AltModifier, true },
        { "Enter with Shift", Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier, false },
        { "Enter with Ctrl", Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier, false },
        { "Return", Qt::Key_Return, Qt::NoModifier, true },
        { "Return with Shift", Qt::Key_Return, Qt::ShiftModifier, false },
        { "Return with Ctrl", Qt::Key_Return, Qt::ControlModifier, false },
    };
    TokenTableView* table = fileTable();
    const int row = rowOf(*table, QStringLiteral("date-modified"));
    ASSERT_GE(row, 0);
    table->setFocus();
    for (const KeyCase& c : cases) {
        recorder.received.clear();
        table->selectRow(row);
        QTest::keyClick(table, c.key, c.modifiers);
        EXPECT_EQ(inserted(), c.inserts ? QStringList { "date-modified" } : QStringList {}) << c.name;
    }
    // Nothing chosen without a selected row.
    recorder.received.clear();
    table->clearSelection();
    QTest::keyClick(table, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(inserted().isEmpty());
}

TEST_F(TokenChooser, aDoubleClickInsertsAndThePaneStaysForMore)
{
    TokenTableView* table = fileTable();
    const auto click = [&](const QString& tokenId) {
        const int row = rowOf(*table, tokenId);
        table->scrollToItem(table->item(row, 0));
        const QPoint at = table->visualItemRect(table->item(row, 0)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    };
    click(QStringLiteral("date-modified"));
    click(QStringLiteral("kind"));
    EXPECT_EQ(inserted(), (QStringList { "date-modified", "kind" }));
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 0) << "the rule editor saves on the insert";
}

TEST_F(TokenChooser, tabKeysSwitchCategoriesAndEscapeClosesWithoutInserting)
{
    TokenTableView* table = fileTable();
    table->setFocus();
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Backtab);
    EXPECT_EQ(chooser.tabView()->currentIndex(), 0) << "no tab before the first";
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_EQ(chooser.tabView()->currentIndex(), 1);
    QTest::keyClick(chooser.tableView(1), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(chooser.tabView()->currentIndex(), 1) << "Ctrl+Tab is not the pane's";
    QTest::keyClick(chooser.tableView(1), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(chooser.tabView()->currentIndex(), 0);

    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_TRUE(inserted().isEmpty());
    EXPECT_TRUE(recorder.received.empty());

    // Shown again by its notification; dismissed by the other, which saves the rule.
    NotificationCenter::defaultCenter().post({ NotificationName::showTokenTextView });
    EXPECT_TRUE(chooser.isVisible());
    NotificationCenter::defaultCenter().post({ NotificationName::dismissTokenTextPane });
    EXPECT_FALSE(chooser.isVisible());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::transformButtonSave) == 1; }));
}

TEST_F(TokenChooser, typingFindsATokenByItsIdFromTheFirstFullStop)
{
    TokenTableView* exif = chooser.tableView(1);
    chooser.tabView()->setCurrentIndex(1);
    exif->setFocus();
    QTest::keyClicks(exif, QStringLiteral(".Mod"));
    ASSERT_FALSE(exif->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(exif->selectedTokenString(), TokenString::attribute(QStringLiteral("{TIFF}.Model")));

    TokenTableView* file = fileTable();
    chooser.tabView()->setCurrentIndex(0);
    file->setFocus();
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(file, QStringLiteral("date-m"));
    EXPECT_EQ(file->selectedTokenString(), TokenString::attribute(QStringLiteral("date-modified")));

    EXPECT_EQ(TokenTableView::typeSelectString(QStringLiteral("{GPS}.Latitude")), QStringLiteral(".Latitude"));
    EXPECT_EQ(TokenTableView::typeSelectString(QStringLiteral("kind")), QStringLiteral("kind"));
}

TEST_F(TokenChooser, rowsGrowWithTheirDescriptionUpToTheTablesHeight)
{
    TokenTableView* table = fileTable();
    int shortest = std::numeric_limits<int>::max();
    int tallest = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        EXPECT_EQ(table->rowHeight(row), table->heightOfRow(row));
        shortest = std::min(shortest, table->heightOfRow(row));
        tallest = std::max(tallest, table->heightOfRow(row));
    }
    EXPECT_LT(shortest, tallest) << "a longer description takes more lines";
    EXPECT_GT(shortest, 0);
    EXPECT_EQ(table->heightOfRow(table->rowCount()), 0);
}

} // namespace
