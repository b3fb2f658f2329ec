// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributePanelController.h"
#include "tokenui/TokenString+Pasteboard.h"

#include "core/AppNotification+Typed.h"
#include "support/NotificationRecorder.h"
#include "support/Palettes.h"
#include "support/TestEnvironment.h"
#include "tokens/TokenDetailsList.h"
#include "tokens/TokenItem.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"
#include "uikit/QColor+contrast.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QStyle>
#include <QAbstractButton>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

#include <functional>
#include <optional>

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

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool inserts;
};

TEST_F(TokenPanel, ReturnInsertsTheSelectedTokenButNotTheKeypadsEnter)
{
    const QList<KeyCase> cases = {
        { "Return", Qt::Key_Return, Qt::NoModifier, true },
        { "Alt+Return", Qt::Key_Return, Qt::AltModifier, true },
        { "Shift+Return", Qt::Key_Return, Qt::ShiftModifier, false },
        { "Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, false },
        { "Meta+Return", Qt::Key_Return, Qt::MetaModifier, false },
        { "keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, false },
        { "keypad Enter with Alt", Qt::Key_Enter, Qt::KeypadModifier | Qt::AltModifier, false },
    };
    NotificationRecorder recorder({ NotificationName::insertToken });
    panel.searchBox()->setText("original-filename");
    panel.tableView()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(panel.tableView()->selectedItems().size(), 1) << "focus selects the first token";
    for (const KeyCase& c : cases) {
        recorder.received.clear();
        QTest::keyClick(panel.tableView(), c.key, c.modifiers);
        TestEnvironment::drainEvents();
        ASSERT_EQ(recorder.received.size(), c.inserts ? 1u : 0u) << c.name;
        if (c.inserts)
            EXPECT_EQ(AppNotification::InsertToken::get(recorder.received.front()), QString("original-filename")) << c.name;
        ASSERT_EQ(panel.tableView()->selectedItems().size(), 1) << c.name << " keeps the selection";
    }
}

TEST_F(TokenPanel, ADragCarriesAChipAndLeavingClearsTheSelection)
{
    panel.searchBox()->setText("original-filename");
    panel.tableView()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(panel.tableView()->selectedItems().size(), 1);
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

// A list that keeps the picture of the drag it would start.
class RecordingTokenList : public TokenAttributeTableView {
public:
    using TokenAttributeTableView::startDrag;
    QPixmap pixmap;
    QPoint hotSpot;
    std::optional<QStringList> formats;

protected:
    Qt::DropAction execDrag(QDrag& drag, Qt::DropActions) override
    {
        pixmap = drag.pixmap();
        hotSpot = drag.hotSpot();
        formats = drag.mimeData()->formats();
        return Qt::CopyAction;
    }
};

// The drag shows the token's chip as the row draws it, not a picture of the whole row.
TEST(TokenPanelDrag, theDragImageIsTheTokensChip)
{
    RecordingTokenList list;
    list.resize(320, 200);
    auto* row = new QListWidgetItem(QStringLiteral("date-modified"), &list);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    row->setData(TokenAttributeTableView::TOKEN_ID_ROLE, QStringLiteral("date-modified"));
    row->setData(TokenAttributeTableView::CHIP_LABEL_ROLE, QStringLiteral("Date Modified"));
    list.show();
    list.setCurrentItem(row);
    list.startDrag(Qt::CopyAction);
    ASSERT_TRUE(list.formats.has_value());
    EXPECT_EQ(*list.formats, QStringList { TokenStringPasteboard::tokenStringType });
    const QImage chip = TokenTextAttachmentImageFactory::createImage(QStringLiteral("Date Modified"), TokenDrawStyle::normal,
        list.devicePixelRatioF());
    const QImage dragged = list.pixmap.toImage().convertToFormat(chip.format());
    EXPECT_EQ(dragged.size(), chip.size());
    EXPECT_EQ(dragged, chip);
    EXPECT_LT(list.pixmap.width(), list.visualItemRect(row).width()) << "not the row";

    // Nothing selected: no drag.
    RecordingTokenList empty;
    empty.startDrag(Qt::CopyAction);
    EXPECT_FALSE(empty.formats.has_value());
}

// The search's clear button has a name a screen reader can say.
TEST_F(TokenPanel, theSearchClearButtonIsNamed)
{
    panel.searchBox()->setText(QStringLiteral("date"));
    TestEnvironment::drainEvents();
    QList<QToolButton*> buttons = panel.searchBox()->findChildren<QToolButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    for (QToolButton* button : buttons) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->text(QAccessible::Name), QStringLiteral("Clear search"));
    }
}

// The fragments of a laid-out description whose format passes the test, joined.
QString formatted(const QTextDocument& document, const std::function<bool(const QTextCharFormat&)>& test)
{
    QString found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (test(it.fragment().charFormat()))
                found += it.fragment().text();
    return found;
}

TEST(TokenDescription, ShowsItsInlineFormattingWithoutTheMarkupAndWraps)
{
    struct Case {
        const char* markdown;
        QString plain;
        std::function<bool(const QTextCharFormat&)> format;
        QString formattedText;
    };
    const QList<Case> cases = {
        { "Date the **file** was created.", "Date the file was created.",
            [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::Bold; }, "file" },
        { "Kind of the *item*.", "Kind of the item.", [](const QTextCharFormat& f) { return f.fontItalic(); }, "item" },
        { "For example `image/jpeg`.", "For example image/jpeg.",
            [](const QTextCharFormat& f) { return f.fontFixedPitch(); }, "image/jpeg" },
        { "Plain, \"quoted\" text.", "Plain, \"quoted\" text.",
            [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::Bold || f.fontItalic(); }, "" },
    };
    for (const Case& c : cases) {
        QTextDocument document;
        TokenDetailsView::layOutDescription(document, c.markdown, QFont(), 400);
        EXPECT_EQ(document.toPlainText(), c.plain) << c.markdown;
        EXPECT_EQ(formatted(document, c.format), c.formattedText) << c.markdown;
    }

    const QString longText = QStringLiteral("A **long** description that takes more than one line at the width of a narrow panel, "
                                            "so it has to wrap instead of running off to the right.");
    QTextDocument narrow;
    TokenDetailsView::layOutDescription(narrow, longText, QFont(), 200);
    QTextDocument wide;
    TokenDetailsView::layOutDescription(wide, longText, QFont(), 2000);
    EXPECT_LE(narrow.idealWidth(), 200);
    EXPECT_GT(narrow.size().height(), 2 * wide.size().height()) << "the narrow one wraps onto several lines";
}

// The catalog entry whose chip label is the longest.
TokenDetailsRef longestChip()
{
    TokenDetailsRef longest = TokenDetailsList::shared().allTokens.first();
    for (const TokenDetailsRef& entry : TokenDetailsList::shared().allTokens)
        if (entry->tokenItem().displayValue().size() > longest->tokenItem().displayValue().size())
            longest = entry;
    return longest;
}

QListWidgetItem* rowOf(TokenAttributeTableView* list, const QString& tokenId)
{
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(TokenAttributeTableView::TOKEN_ID_ROLE).toString() == tokenId)
            return list->item(row);
    return nullptr;
}

TEST_F(TokenPanel, RowsFitTheListsWidthAndChipsAreAsWideAsTheirLabelUpToTheMaximum)
{
    const TokenDetailsRef longest = longestChip();
    const QString label = longest->tokenItem().displayValue();
    const qreal fullWidth = TokenTextAttachmentImageFactory::imageSize(label).width();
    ASSERT_GT(fullWidth, 160) << "a label longer than the old fixed icon";
    const QString shortLabel = TokenDetailsList::shared().basicTokenDetails.first()->tokenItem().displayValue();

    struct Case {
        int panelWidth;
        bool wholeLabel;
    };
    for (const Case c : { Case { 900, true }, Case { 300, false } }) {
        panel.resize(c.panelWidth, 700);
        TestEnvironment::drainEvents();
        TokenAttributeTableView* list = panel.tableView();
        auto* view = qobject_cast<TokenDetailsView*>(list->itemDelegate());
        ASSERT_NE(view, nullptr);
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible()) << c.panelWidth;
        for (int row = 0; row < list->count(); ++row) {
            const QRect rect = list->visualItemRect(list->item(row));
            ASSERT_LE(rect.right(), list->viewport()->width()) << c.panelWidth << " row " << row;
            if (!list->item(row)->data(TokenAttributeTableView::TOKEN_ID_ROLE).toString().isEmpty())
                ASSERT_LE(view->chipRect(rect, list->indexFromItem(list->item(row))).right(), rect.right());
        }

        QListWidgetItem* item = rowOf(list, longest->tokenId());
        ASSERT_NE(item, nullptr);
        const QRect chip = view->chipRect(list->visualItemRect(item), list->indexFromItem(item));
        if (c.wholeLabel) {
            EXPECT_EQ(chip.width(), int(std::ceil(fullWidth))) << "as wide as its label";
        } else {
            EXPECT_LT(chip.width(), fullWidth);
            EXPECT_LE(chip.width(), TokenDetailsView::chipMaximumWidth);
            EXPECT_TRUE(TokenDetailsView::chipLabel(label, chip.width()).endsWith(QChar(0x2026)));
        }
        EXPECT_TRUE(item->toolTip().contains(label)) << "the whole label in the tooltip";
        EXPECT_TRUE(item->data(Qt::AccessibleTextRole).toString().startsWith(label)) << "and for a screen reader";
        EXPECT_EQ(TokenDetailsView::chipLabel(shortLabel, chip.width()), shortLabel) << "short labels stay whole";
    }
}

TEST_F(TokenPanel, ALongDescriptionWrapsToTheWidthItIsGiven)
{
    // The entry with the longest description grows taller as the panel narrows.
    TokenDetailsRef longest = TokenDetailsList::shared().allTokens.first();
    for (const TokenDetailsRef& entry : TokenDetailsList::shared().allTokens)
        if (entry->tokenDescription().size() > longest->tokenDescription().size())
            longest = entry;
    QListWidgetItem* item = rowOf(panel.tableView(), longest->tokenId());
    ASSERT_NE(item, nullptr);
    panel.resize(1200, 700);
    TestEnvironment::drainEvents();
    const int wideHeight = panel.tableView()->visualItemRect(item).height();
    panel.resize(300, 700);
    TestEnvironment::drainEvents();
    const int narrowHeight = panel.tableView()->visualItemRect(item).height();
    EXPECT_GT(narrowHeight, wideHeight) << "the description wraps onto more lines";
    EXPECT_FALSE(panel.tableView()->horizontalScrollBar()->isVisible());
}

// The strongest contrast of the drawing's pixels in the area against the colour.
qreal strongestContrast(const QImage& image, const QRect& area, const QColor& background)
{
    qreal strongest = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = std::max(strongest, ColorContrast::ratio(image.pixelColor(x, y), background));
    return strongest;
}

TEST_F(TokenPanel, CategoryAndDescriptionReadInLightAndDarkPalettes)
{
    Palettes::Restore restore;
    panel.resize(360, 700);
    for (const QPalette& palette : { QApplication::style()->standardPalette(), Palettes::dark() }) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        TokenAttributeTableView* list = panel.tableView();
        QListWidgetItem* item = list->item(1); // the first token, under its section's title
        ASSERT_FALSE(item->data(TokenAttributeTableView::TOKEN_ID_ROLE).toString().isEmpty());
        ASSERT_FALSE(item->isSelected());
        const QImage image = list->viewport()->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const QRect row = list->visualItemRect(item);
        const QRect chip = qobject_cast<TokenDetailsView*>(list->itemDelegate())->chipRect(row, list->indexFromItem(item));
        const auto scaled = [&](const QRect& r) {
            return QRect(int(r.left() * ratio), int(r.top() * ratio), int(r.width() * ratio), int(r.height() * ratio));
        };
        // The row's own ground, left of its chip.
        const QColor base = image.pixelColor(int((row.left() + 2) * ratio), int((chip.center().y()) * ratio));
        EXPECT_EQ(base.lightness() < 128, palette.color(QPalette::Base).lightness() < 128) << "drawn in the palette's colours";
        const QRect category(chip.right() + TokenDetailsView::spacing, chip.top(), row.right() - chip.right() - TokenDetailsView::spacing, chip.height());
        const QRect description(row.left(), chip.bottom() + TokenDetailsView::spacing, row.width(), row.bottom() - chip.bottom() - TokenDetailsView::spacing - 1);
        EXPECT_GE(strongestContrast(image, scaled(category), base), 4.5) << "category";
        EXPECT_GE(strongestContrast(image, scaled(description), base), 4.5) << "description";
    }
}

} // namespace
