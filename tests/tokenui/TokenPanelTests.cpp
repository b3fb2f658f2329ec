#include "tokenui/TokenAttributePanelController.h"
#include "tokenui/TokenString+Pasteboard.h"

#include "core/AppNotification+Typed.h"
#include "support/NotificationRecorder.h"
#include "support/TestEnvironment.h"
#include "tokens/TokenDetailsList.h"

#include <QButtonGroup>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList ids(const QList<TokenDetailsRef>& entries)
{
    QStringList list;
    for (const auto& entry : entries)
        list << entry->tokenId();
    return list;
}

TEST(TokenPanelQuery, WordsMustAllBeFoundInIdDescriptionOrCategory)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    const qsizetype everything = catalog.allTokens.size() + catalog.regexTokenDetails.size();
    EXPECT_EQ(TokenAttributePanelController::performQuery("", {}).size(), everything) << "builder tokens too";
    const QList<TokenDetailsRef> dateExif = TokenAttributePanelController::performQuery("date exif", {});
    ASSERT_FALSE(dateExif.isEmpty());
    for (const TokenDetailsRef& entry : dateExif) {
        const QString all = (entry->tokenId() + entry->tokenDescription() + TokenCategories::rawValue(entry->category())).toLower();
        EXPECT_TRUE(all.contains("date") && all.contains("exif")) << entry->tokenId().toStdString();
    }
    EXPECT_EQ(ids(TokenAttributePanelController::performQuery("  DATE   exif ", {})), ids(dateExif)) << "case and extra blanks change nothing";
    EXPECT_TRUE(TokenAttributePanelController::performQuery("zzqqxx", {}).isEmpty());
    for (const TokenDetailsRef& entry : TokenAttributePanelController::performQuery("", { TokenCategory::gps }))
        EXPECT_EQ(entry->category(), TokenCategory::gps);
    EXPECT_EQ(TokenAttributePanelController::performQuery("", { TokenCategory::gps }).size(), catalog.gpsTokenDetails.size());
}

class TokenPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.show();
        panel.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    }
    TokenAttributePanelController panel;
};

TEST_F(TokenPanel, SegmentsSelectOneCategoryAndAgainShowAll)
{
    const qsizetype all = panel.shownTokenIds().size();
    QTest::mouseClick(static_cast<QWidget*>(panel.buttonBar()->button(3)), Qt::LeftButton); // GPS
    EXPECT_EQ(panel.selectedCategories(), QList<TokenCategory> { TokenCategory::gps });
    EXPECT_LT(panel.shownTokenIds().size(), all);
    QTest::mouseClick(static_cast<QWidget*>(panel.buttonBar()->button(2)), Qt::LeftButton); // Exif
    EXPECT_EQ(panel.selectedCategories(), QList<TokenCategory> { TokenCategory::exif });
    QTest::mouseClick(static_cast<QWidget*>(panel.buttonBar()->button(2)), Qt::LeftButton);
    EXPECT_TRUE(panel.selectedCategories().isEmpty());
    EXPECT_EQ(panel.shownTokenIds().size(), all);

    panel.searchBox()->setText("zzqqxx");
    EXPECT_TRUE(panel.placeholderView()->isVisibleTo(&panel));
    EXPECT_FALSE(panel.tableView()->isVisibleTo(&panel));
    panel.searchBox()->clear();
    EXPECT_FALSE(panel.placeholderView()->isVisibleTo(&panel));
}

TEST_F(TokenPanel, ReturnInsertsTheSelectedTokenAndADragCarriesAChip)
{
    NotificationRecorder recorder({ NotificationName::insertToken });
    panel.searchBox()->setText("original-filename");
    panel.tableView()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(panel.tableView()->selectedItems().size(), 1) << "focus selects the first token";
    QTest::keyClick(panel.tableView(), Qt::Key_Return, Qt::ShiftModifier);
    TestEnvironment::drainEvents();
    EXPECT_TRUE(recorder.received.empty()) << "Shift+Return does not insert";
    QTest::keyClick(panel.tableView(), Qt::Key_Return);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !recorder.received.empty(); }));
    EXPECT_EQ(AppNotification::InsertToken::get(recorder.received.front()), QString("original-filename"));

    QListWidgetItem* row = panel.tableView()->selectedItems().first();
    std::unique_ptr<QMimeData> dragged(panel.tableView()->model()->mimeData({ panel.tableView()->indexFromItem(row) }));
    ASSERT_NE(dragged, nullptr);
    EXPECT_EQ(dragged->formats(), QStringList { TokenStringPasteboard::tokenStringType }) << "a token and nothing else";
    const auto tokenString = TokenStringPasteboard::getTokenString(*dragged, { TokenStringPasteboard::tokenStringType }, TransformScope::filename);
    ASSERT_TRUE(tokenString.has_value());
    ASSERT_EQ(tokenString->items().size(), 1);
    EXPECT_EQ(tokenString->items().first().type, TokenType::ATTRIBUTE);
    EXPECT_EQ(tokenString->items().first().value, "original-filename");

    panel.searchBox()->setFocus();
    EXPECT_TRUE(panel.tableView()->selectedItems().isEmpty()) << "leaving the list clears its selection";
}

} // namespace
