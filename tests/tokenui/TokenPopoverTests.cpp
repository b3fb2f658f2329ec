// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributeDateView.h"
#include "tokenui/TokenAttributeGPSView.h"
#include "tokenui/TokenAttributeRegexView.h"
#include "tokenui/TokenAttributeViewController.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include "TestClock.h"
#include "core/AppNotification.h"
#include "support/NotificationRecorder.h"
#include "support/TestEnvironment.h"
#include "tokens/RegExpResolver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A token field in a shown window holding "a", one chip and "b".
class TokenPopover : public ::testing::Test {
protected:
    void SetUp() override
    {
        finishDelayedUpdate();
        auto* layout = new QVBoxLayout(&window);
        field = new TransformDialogTextField(&window);
        layout->addWidget(field);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { finishDelayedUpdate(); }

    // Double-clicks the chip made of `item`; answers the popover it opened.
    template <typename View>
    View* open(const TokenItem& item)
    {
        field->setTokenString(TokenString(QList<TokenItem> { TokenItem::string("a"), item, TokenItem::string("b") }));
        TokenTextFieldEditor* editor = field->tokenTextFieldEditor();
        const QPoint chip = editor->chipFrame(1).center().toPoint();
        QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, chip);
        View* view = window.findChild<View*>();
        EXPECT_NE(view, nullptr);
        return view;
    }
    // Closes the popover; answers the chip's item afterwards.
    TokenItem close(TokenAttributeViewController* view)
    {
        QPointer<TokenAttributeViewController> watched(view);
        view->hide();
        TestEnvironment::processEventsUntil([&] { return watched.isNull(); });
        EXPECT_TRUE(watched.isNull()) << "one popover per double click";
        return field->tokenString().items().at(1);
    }

    QWidget window;
    TransformDialogTextField* field = nullptr;
};

TEST_F(TokenPopover, TextAndNumberPopoversWriteBackAndSave)
{
    TokenItem title = TokenItem::attribute("id3-title");
    title.prefix = "[";
    auto* text = open<TokenAttributeStringView>(title);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->prefixTextField->text(), "[");
    NotificationRecorder recorder({ NotificationName::transformButtonSave });
    text->suffixTextField->setText("  ");
    const TokenItem written = close(text);
    EXPECT_EQ(written.prefix, "[");
    EXPECT_EQ(written.suffix, "  ") << "blanks are kept";
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::transformButtonSave) >= 1; }));
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return window.focusWidget() == field->tokenTextFieldEditor(); }))
        << "the field has the focus again";

    const struct {
        const char* typed;
        int digits;
    } cases[] = { { "", 1 }, { "abc", 1 }, { "3.5", 1 }, { " 4", 1 }, { "+4", 4 }, { "-3", -3 }, { "007", 7 }, { "99999999999", 1 } };
    for (const auto& c : cases) {
        auto* number = open<TokenAttributeNumberView>(TokenItem::attribute("media-width"));
        ASSERT_NE(number, nullptr);
        number->digitsText->setText(c.typed);
        EXPECT_EQ(close(number).numberDigits, c.digits) << c.typed;
    }
}

TEST_F(TokenPopover, ArrowsStepTheDigits)
{
    auto* number = open<TokenAttributeNumberView>(TokenItem::attribute("media-width"));
    ASSERT_NE(number, nullptr);
    number->digitsText->setText("7");
    QTest::keyClick(number->digitsText, Qt::Key_Up);
    EXPECT_EQ(number->digitsText->text(), "8");
    QTest::keyClick(number->digitsText, Qt::Key_Down);
    QTest::keyClick(number->digitsText, Qt::Key_Down);
    EXPECT_EQ(number->digitsText->text(), "6");
    number->prefixTextField->setText("ab");
    number->prefixTextField->setCursorPosition(1);
    QTest::keyClick(number->prefixTextField, Qt::Key_Up);
    EXPECT_EQ(number->prefixTextField->text(), "ab") << "a text field is no number";
    close(number);
}

TEST_F(TokenPopover, APopoverWhoseChipWentAwayWritesNothing)
{
    auto* text = open<TokenAttributeStringView>(TokenItem::attribute("id3-title"));
    ASSERT_NE(text, nullptr);
    // The rule was reloaded meanwhile: another token stands there now.
    field->setTokenString(TokenString(QList<TokenItem> { TokenItem::string("a"), TokenItem::attribute("kind"), TokenItem::string("b") }));
    NotificationRecorder recorder({ NotificationName::transformButtonSave });
    text->prefixTextField->setText("X");
    const TokenItem after = close(text);
    EXPECT_EQ(after.value, "kind");
    EXPECT_EQ(after.prefix, "");
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 0);
}

TEST_F(TokenPopover, DatePopoverKeepsItsZoneUnlessOneIsPicked)
{
    TokenItem date = TokenItem::attribute("date-modified");
    date.dateFormat = "yyyy-MM-dd HH:mm";
    date.timeZone = "Pacific/Chatham";
    auto* view = open<TokenAttributeDateView>(date);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isCustomDateFormat());
    EXPECT_FALSE(view->customDateFormat->isEnabled());
    EXPECT_EQ(view->customDateFormat->text(), "");
    TokenItem written = close(view);
    EXPECT_EQ(written.timeZone, "Pacific/Chatham") << "opening and closing changes nothing";
    EXPECT_EQ(written.dateFormat, "yyyy-MM-dd HH:mm");

    date.dateFormat = "yy_MM";
    date.timeZone = "No/Such_Zone";
    view = open<TokenAttributeDateView>(date);
    EXPECT_TRUE(view->isCustomDateFormat());
    EXPECT_TRUE(view->customDateFormat->isEnabled());
    EXPECT_EQ(view->customDateFormat->text(), "yy_MM");
    written = close(view);
    EXPECT_EQ(written.dateFormat, "yy_MM");
    EXPECT_EQ(written.timeZone, "No/Such_Zone") << "an unknown zone is not replaced by the first listed";

    view = open<TokenAttributeDateView>(date);
    view->dateFormatPopup->setCurrentIndex(view->dateFormatPopup->findText("yyyy"));
    view->filterTimeZones("tokyo");
    ASSERT_FALSE(view->filteredTimeZones().isEmpty());
    QTest::mouseClick(view->timeZoneList->viewport(), Qt::LeftButton, {}, view->timeZoneList->visualItemRect(view->timeZoneList->item(0)).center());
    written = close(view);
    EXPECT_EQ(written.dateFormat, "yyyy");
    EXPECT_EQ(written.timeZone, "Asia/Tokyo");
}

TEST_F(TokenPopover, TimeZoneSearch)
{
    auto* view = open<TokenAttributeDateView>(TokenItem::attribute("date-modified"));
    ASSERT_NE(view, nullptr);
    const qsizetype all = TokenAttributeDateView::allTimeZones().size();
    const auto identifiers = [&] {
        QStringList list;
        for (const auto& zone : view->filteredTimeZones())
            list << zone.identifier;
        return list;
    };
    view->filterTimeZones("  ");
    EXPECT_EQ(view->filteredTimeZones().size(), all);
    view->filterTimeZones("gmt");
    EXPECT_EQ(view->filteredTimeZones().size(), all) << "every row holds (GMT";
    view->filterTimeZones("EUROPE");
    EXPECT_TRUE(identifiers().contains("Europe/Paris"));
    EXPECT_FALSE(identifiers().contains("Asia/Tokyo"));
    // Abbreviations in another spelling than the one shown are found too.
    view->filterTimeZones("CET");
    EXPECT_TRUE(identifiers().contains("Europe/Berlin"));
    view->filterTimeZones("PST");
    EXPECT_TRUE(identifiers().contains("America/Los_Angeles"));
    view->filterTimeZones("no such place");
    EXPECT_TRUE(view->filteredTimeZones().isEmpty());
    close(view);
}

TEST_F(TokenPopover, GPSPopoverChoosesTheForm)
{
    TokenItem latitude = TokenItem::attribute("{GPS}.Latitude");
    latitude.gpsFormat = 1;
    auto* view = open<TokenAttributeGPSView>(latitude);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->gpsFormatPopup->currentData().toInt(), 1);
    view->gpsFormatPopup->setCurrentIndex(view->gpsFormatPopup->findData(0));
    EXPECT_EQ(close(view).gpsFormat, 0);

    latitude.gpsFormat = 5;
    view = open<TokenAttributeGPSView>(latitude);
    EXPECT_EQ(close(view).gpsFormat, 5) << "an unknown form is kept";
}

TEST_F(TokenPopover, RegularExpressionPopover)
{
    TokenItem token(TokenType::REGEX, "regex");
    token.regexp.anchor = RegExpAnchor::startEnd;
    token.regexp.containing = false;
    token.regexp.count = RegExpTokenQuantifier { 3, std::nullopt };
    auto* view = open<TokenAttributeRegexView>(token);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->anchoredStart->isChecked());
    EXPECT_TRUE(view->anchoredEnd->isChecked());
    EXPECT_TRUE(view->matchesExcept->isChecked());
    EXPECT_FALSE(view->phrase1->isEnabled()) << "phrases only with matches-any";
    for (QRadioButton* button : { view->countZeroOrMore, view->countOneOrMore, view->countExactly, view->countBetween })
        EXPECT_FALSE(button->isChecked()) << "a count of at least 3 has no button";

    view->anchoredEnd->setChecked(false);
    view->matchesAny->setChecked(true);
    view->charactersNumbers->setChecked(true);
    view->phrase1->setText("a");
    view->phrase3->setText("c");
    const QString before = view->regexLabel->text();
    view->countExactly->setChecked(true);
    EXPECT_TRUE(view->countExactlyStackView->isVisibleTo(view));
    EXPECT_FALSE(view->countBetweenStackView->isVisibleTo(view));
    view->count->setText("4");
    EXPECT_NE(view->regexLabel->text(), before) << "the pattern follows every change";
    EXPECT_EQ(field->tokenString().items().at(1).regexp.count, token.regexp.count) << "the chip changes only on closing";
    QTest::mouseClick(view->infoButton, Qt::LeftButton);
    EXPECT_FALSE(view->regexLabel->isVisibleTo(view));
    TokenItem written = close(view);
    EXPECT_EQ(written.regexp.anchor, RegExpAnchor::start);
    EXPECT_EQ(written.regexp.containing, true);
    EXPECT_EQ(written.regexp.numeric, true);
    EXPECT_EQ(written.regexp.alphabetic, false);
    EXPECT_EQ(written.regexp.custom, QString(""));
    EXPECT_EQ(written.regexp.phrases->phrases, (QStringList { "a", "c" }));
    EXPECT_EQ(written.regexp.count, RegExpTokenQuantifier::exactly(4));

    view = open<TokenAttributeRegexView>(written);
    EXPECT_TRUE(view->countExactly->isChecked());
    EXPECT_EQ(view->count->text(), "4");
    EXPECT_EQ(view->phrase1->text(), "a");
    EXPECT_EQ(view->phrase2->text(), "c");
    view->matchesExcept->setChecked(true);
    written = close(view);
    EXPECT_EQ(written.regexp.phrases->phrases, (QStringList { "a", "c" })) << "under except the phrases still count";
}

// Opening and closing the popover changes nothing the user did not change.
TEST_F(TokenPopover, RegularExpressionPopoverKeepsWhatWasNotEdited)
{
    struct Case {
        const char* name;
        std::optional<RegExpTokenQuantifier> count;
    };
    const Case cases[] = {
        { "no count", std::nullopt },
        { "at least 3", RegExpTokenQuantifier { 3, std::nullopt } },
        { "at most 5", RegExpTokenQuantifier { std::nullopt, 5 } },
        { "zero or more", RegExpTokenQuantifier::zeroOrMore() },
        { "one or more", RegExpTokenQuantifier::oneOrMore() },
        { "exactly 2", RegExpTokenQuantifier::exactly(2) },
        { "between 2 and 7", RegExpTokenQuantifier::between(2, 7) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TokenItem token(TokenType::REGEX, "regex");
        token.regexp.anchor = RegExpAnchor::end;
        token.regexp.containing = false;
        token.regexp.alphabetic = token.regexp.numeric = token.regexp.punctuation = false;
        token.regexp.whitespace = token.regexp.diacritics = false;
        token.regexp.custom = QStringLiteral("_");
        token.regexp.phrases = RegExpTokenPhrases(true, { "ab", "cd" });
        token.regexp.count = c.count;
        const TokenItem written = close(open<TokenAttributeRegexView>(token));
        EXPECT_EQ(written.regexp.count, token.regexp.count);
        EXPECT_EQ(written.regexp.phrases->phrases, token.regexp.phrases->phrases);
        EXPECT_TRUE(written.regexp.phrases->diacriticInsensitive);
        EXPECT_EQ(RegExpResolver::resolveRegExp(written).pattern, RegExpResolver::resolveRegExp(token).pattern);
    }
}

TEST_F(TokenPopover, RegularExpressionPopoverRefusesALeastCountAboveTheMost)
{
    TokenItem token(TokenType::REGEX, "regex");
    token.regexp.containing = true;
    token.regexp.numeric = true;
    token.regexp.count = RegExpTokenQuantifier::between(1, 3);
    auto* view = open<TokenAttributeRegexView>(token);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->countError->isVisibleTo(view));
    view->countBetweenMin->setText("5");
    EXPECT_TRUE(view->countError->isVisibleTo(view));
    EXPECT_FALSE(view->countBetweenMax->accessibleDescription().isEmpty());
    EXPECT_EQ(close(view).regexp.count, RegExpTokenQuantifier::between(1, 3)) << "the count stays as it was";

    view = open<TokenAttributeRegexView>(token);
    view->countBetweenMax->setText("9");
    EXPECT_FALSE(view->countError->isVisibleTo(view));
    EXPECT_EQ(close(view).regexp.count, RegExpTokenQuantifier::between(1, 9));
}

TEST_F(TokenPopover, F2OpensThePopoverOfTheSelectedChip)
{
    field->setTokenString(TokenString(QList<TokenItem> { TokenItem::string("a"), TokenItem::attribute("id3-title") }));
    TokenTextFieldEditor* editor = field->tokenTextFieldEditor();
    editor->setFocus();
    QTextCursor cursor(editor->document());
    cursor.setPosition(2);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_F2);
    auto* view = window.findChild<TokenAttributeStringView*>();
    ASSERT_NE(view, nullptr);
    close(view);
}

} // namespace
