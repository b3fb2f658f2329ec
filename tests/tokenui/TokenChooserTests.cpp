// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextViewController.h"
#include "tokenui/TokenAttributePanelController.h"

#include "core/AppNotification+Typed.h"
#include "platform/DefaultsStore.h"
#include "support/NotificationRecorder.h"
#include "support/TestEnvironment.h"
#include "tokens/TokenDetailsList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
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

// Opened from the menu, the keyboard alone chooses a token: the focus is in
// the list, Return inserts the row it is on, Tab takes it to the next category.
TEST_F(TokenChooser, theKeyboardReachesTheListAndReturnInsertsTheRowWithTheFocus)
{
    chooser.hide();
    chooser.showTokenTextView();
    TokenTableView* table = fileTable();
    EXPECT_EQ(chooser.focusWidget(), table) << "not the tab bar";
    QApplication::setActiveWindow(&chooser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    TestEnvironment::drainEvents();
    ASSERT_EQ(QApplication::focusWidget(), table);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), table) << "no editor opens in the cell";
    EXPECT_EQ(inserted(), QStringList { table->data().first()->tokenId() });

    recorder.received.clear();
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(inserted(), QStringList { table->data().at(1)->tokenId() }) << "the row the arrow moved to";

    recorder.received.clear();
    QTest::keyClick(table, Qt::Key_Tab);
    TestEnvironment::drainEvents();
    TokenTableView* next = chooser.tableView(1);
    ASSERT_EQ(QApplication::focusWidget(), next) << "Tab shows the next category with the focus in its list";
    QTest::keyClick(next, Qt::Key_Return);
    EXPECT_EQ(inserted(), QStringList { next->data().first()->tokenId() });
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

// A window with a token field, the Tokens window's target.
class TokenChooserPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultsStore::standard().remove(TokenTextViewController::OFFSET_KEY);
        field.setGeometry(20, 30, 200, 24);
        host.setGeometry(100, 80, 400, 300);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void TearDown() override { DefaultsStore::standard().remove(TokenTextViewController::OFFSET_KEY); }

    // Opens a chooser by the field and gives its position relative to the field.
    QPoint openAt(TokenTextViewController& chooser)
    {
        chooser.setTargetTextField(&field);
        chooser.showTokenTextView();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&chooser));
        return chooser.pos() - field.mapToGlobal(QPoint(0, 0));
    }
    QRect screen() const { return field.screen()->availableGeometry(); }

    QWidget host;
    QLineEdit field { &host };
};

TEST_F(TokenChooserPlacement, opensJustBelowItsFieldAndWhereTheUserLeftItAfterwards)
{
    const QPoint below(0, field.height() + 4);
    const QPoint moved(60, -20);
    {
        TokenTextViewController chooser(&host);
        EXPECT_EQ(openAt(chooser), below) << "below the field";
        chooser.close();
        EXPECT_EQ(openAt(chooser), below) << "not moved: nothing remembered";
        chooser.move(chooser.pos() + moved - below);
        chooser.close();

        host.move(host.pos() + QPoint(30, 10));
        TestEnvironment::drainEvents();
        EXPECT_EQ(openAt(chooser), moved) << "where it was left, beside the field that moved";
        chooser.close();
    }
    TokenTextViewController next(&host);
    EXPECT_EQ(openAt(next), moved) << "remembered by the settings";
}

TEST_F(TokenChooserPlacement, staysOnScreen)
{
    struct Case {
        const char* name;
        QPoint hostAt; // relative to the screen's top-left
        std::optional<QPoint> stored;
    };
    const QRect area = screen();
    const QList<Case> cases = {
        { "field at the screen's bottom", QPoint(40, area.height() - 80), std::nullopt },
        { "field at the screen's right", QPoint(area.width() - 260, 40), std::nullopt },
        { "remembered far off", QPoint(40, 40), QPoint(5000, 5000) },
        { "remembered before the top-left", QPoint(40, 40), QPoint(-5000, -5000) },
    };
    for (const Case& c : cases) {
        if (c.stored)
            DefaultsStore::standard().setValue(TokenTextViewController::OFFSET_KEY,
                QJsonObject { { "x", c.stored->x() }, { "y", c.stored->y() } });
        else
            DefaultsStore::standard().remove(TokenTextViewController::OFFSET_KEY);
        host.move(area.topLeft() + c.hostAt);
        TestEnvironment::drainEvents();
        TokenTextViewController chooser(&host);
        const QPoint offset = openAt(chooser);
        EXPECT_TRUE(area.contains(chooser.frameGeometry())) << c.name;
        if (!c.stored && c.hostAt.y() > area.height() / 2)
            EXPECT_LE(offset.y() + chooser.frameGeometry().height(), 0) << c.name << ": above the field, not over it";
        chooser.close();
    }
}

} // namespace
