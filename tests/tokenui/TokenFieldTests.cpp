// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/ControlRole.h"
#include "tokenui/TokenString+AttributedText.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextAttachment.h"
#include "tokenui/TokenTextAttachmentCell.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include "TestClock.h"
#include "core/AppNotification.h"
#include "core/DelayedUpdateWorker.h"
#include "platform/Clock.h"
#include "support/NotificationRecorder.h"
#include "support/Palettes.h"
#include "support/TestEnvironment.h"
#include "uikit/Appearance.h"
#include "uikit/QColor+contrast.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTextDocument>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TokenString sample()
{
    return TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("ab")), TokenItem::attribute(QStringLiteral("date-modified")),
        TokenItem::string(QStringLiteral("cd")) });
}

TEST(TokenAttributedText, tokenStringRoundTripsThroughTheDocument)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    TokenItem regex(TokenType::REGEX, QStringLiteral("regex"));
    const TokenString original = sample() + regex;
    TokenStringText::append(cursor, original);
    EXPECT_EQ(document.characterCount() - 1, 6); // two texts of 2 and two chips
    EXPECT_EQ(TokenStringText::tokenString(document), original);
    // Copies of the chips keep their items' ids.
    EXPECT_EQ(TokenStringText::tokenString(document).items()[1].id, original.items()[1].id);
}

TEST(TokenAttributedText, adjacentTextMergesAndEmptyTextDisappears)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    TokenStringText::append(cursor, TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("a")), TokenItem::string(QString()),
                                        TokenItem::string(QStringLiteral("b")) }));
    EXPECT_EQ(TokenStringText::tokenString(document), TokenString::string(QStringLiteral("ab")));

    QTextDocument emptyDocument;
    QTextCursor emptyCursor(&emptyDocument);
    TokenStringText::append(emptyCursor, TokenString());
    EXPECT_TRUE(emptyDocument.isEmpty());
    EXPECT_TRUE(TokenStringText::tokenString(emptyDocument).items().isEmpty());
}

TEST(TokenAttributedText, olderKindsShowAsText)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    TokenStringText::append(cursor, TokenString(TokenItem(TokenType::PARENT_DIRECTORY, QStringLiteral("1"))));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("1"));
}

TEST(TokenChip, sizeIsTheLabelPlusPaddingAndMargins)
{
    const QSizeF empty = TokenTextAttachmentImageFactory::imageSize(QString());
    const QFontMetricsF metrics(TokenTextAttachmentImageFactory::font());
    EXPECT_DOUBLE_EQ(empty.width(), 18.0);
    EXPECT_DOUBLE_EQ(empty.height(), metrics.height() + 4);
    const QSizeF label = TokenTextAttachmentImageFactory::imageSize(QStringLiteral("size ▼"));
    EXPECT_DOUBLE_EQ(label.width(), metrics.horizontalAdvance(QStringLiteral("size ▼")) + 18);
    const QImage image = TokenTextAttachmentImageFactory::createImage(QStringLiteral("x"), TokenDrawStyle::normal);
    const QSizeF expected = TokenTextAttachmentImageFactory::imageSize(QStringLiteral("x"));
    EXPECT_EQ(image.size(), QSize(int(std::ceil(expected.width())), int(std::ceil(expected.height()))));
    // The pill's corner stays transparent, its centre is painted.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0);
}

struct StyleCase {
    int anchor;
    int position;
    TokenDrawStyle expected;
};

TEST(TokenChip, drawnSelectedExactlyWhenTheSelectionCoversIt)
{
    TokenTextFieldEditor editor;
    editor.setTokenString(sample()); // the chip is character 2
    const QList<StyleCase> cases = {
        { 2, 2, TokenDrawStyle::normal },   // insertion point before the chip
        { 2, 3, TokenDrawStyle::selected }, // the chip alone
        { 1, 4, TokenDrawStyle::selected }, // from inside the text to after the chip
        { 3, 5, TokenDrawStyle::normal },   // after the chip
    };
    for (const StyleCase& c : cases) {
        QTextCursor cursor(editor.document());
        cursor.setPosition(c.anchor);
        cursor.setPosition(c.position, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        EXPECT_EQ(TokenTextAttachmentCell::drawStyle(2, &editor), c.expected) << c.anchor << "-" << c.position;
    }
    EXPECT_EQ(TokenTextAttachmentCell::drawStyle(2, nullptr), TokenDrawStyle::normal);
}

TEST(TokenChip, popoverKindFollowsTheToken)
{
    EXPECT_EQ(tokenAttributeViewKind(TokenItem::attribute(QStringLiteral("date-modified"))), TokenAttributeViewKind::date);
    EXPECT_EQ(tokenAttributeViewKind(TokenItem::attribute(QStringLiteral("{GPS}.Latitude"))), TokenAttributeViewKind::gps);
    EXPECT_EQ(tokenAttributeViewKind(TokenItem(TokenType::REGEX, QStringLiteral("date-modified"))), TokenAttributeViewKind::regex);
    EXPECT_EQ(tokenAttributeViewKind(TokenItem::attribute(QStringLiteral("media-width"))), TokenAttributeViewKind::number);
    EXPECT_EQ(tokenAttributeViewKind(TokenItem::attribute(QStringLiteral("kind"))), TokenAttributeViewKind::string);
}

TEST(TokenFieldEditor, selectionAsTokenStringTakesPartOfTheTextAndWholeChips)
{
    TokenTextFieldEditor editor;
    editor.setTokenString(sample());
    QTextCursor cursor(editor.document());
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    EXPECT_EQ(editor.selectedRangeAsTokenString(),
        TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("b")), TokenItem::attribute(QStringLiteral("date-modified")) }));
    editor.setTextCursor(QTextCursor(editor.document()));
    EXPECT_EQ(editor.selectedRangeAsTokenString(), sample());
}

TEST(TokenFieldEditor, clickSelectsAChipAndDoubleClickAsksForItsPopover)
{
    TransformDialogTextField field;
    field.resize(400, 40);
    field.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
    TokenTextFieldEditor* editor = field.tokenTextFieldEditor();
    editor->setTokenString(sample());
    QSignalSpy requests(editor, &TokenTextFieldEditor::tokenEditRequested);

    const QPoint onChip = editor->chipFrame(2).center().toPoint();
    ASSERT_EQ(editor->chipAt(onChip), 2);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, onChip);
    EXPECT_EQ(editor->textCursor().selectionStart(), 2);
    EXPECT_EQ(editor->textCursor().selectionEnd(), 3);

    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, onChip);
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests.first().at(1).value<TokenAttributeViewKind>(), TokenAttributeViewKind::date);
    ASSERT_TRUE(editor->editedToken().has_value());
    EXPECT_EQ(editor->editedToken()->location, 2);
    EXPECT_EQ(editor->editedToken()->tokenItem, TokenItem::attribute(QStringLiteral("date-modified")));

    // A double click on plain text opens nothing.
    const QPoint onText = editor->chipFrame(0).topLeft().toPoint() + QPoint(2, 4);
    EXPECT_FALSE(editor->chipAt(onText).has_value());
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, onText);
    EXPECT_EQ(requests.count(), 1);
}

TEST(TokenFieldEditor, aChipsOptionsOpenOnASingleClickOfItsArrowOrFromTheKeyboard)
{
    TransformDialogTextField field;
    field.resize(400, 40);
    field.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
    TokenTextFieldEditor* editor = field.tokenTextFieldEditor();
    editor->setTokenString(sample());
    QSignalSpy requests(editor, &TokenTextFieldEditor::tokenEditRequested);

    const QRectF chip = editor->chipFrame(2);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, chip.center().toPoint());
    EXPECT_EQ(requests.count(), 0) << "a click on the label only selects the chip";
    const QPoint onArrow(int(chip.right()) - 12, int(chip.center().y()));
    ASSERT_EQ(editor->chipAt(onArrow), 2);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, onArrow);
    ASSERT_EQ(requests.count(), 1) << "a single click on the arrow opens the options";
    EXPECT_EQ(editor->editedToken()->location, 2);

    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    };
    const Case cases[] = {
        { "F2", Qt::Key_F2, Qt::NoModifier, true },
        { "Alt+Down", Qt::Key_Down, Qt::AltModifier, true },
        { "Down", Qt::Key_Down, Qt::NoModifier, false },
    };
    for (const Case& c : cases) {
        requests.clear();
        editor->setFocus();
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(3); // just after the chip
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, c.key, c.modifiers);
        EXPECT_EQ(requests.count(), c.opens ? 1 : 0) << c.name;
    }
}

TEST(TokenField, eachFieldHasItsOwnEditor)
{
    TransformDialogTextField a;
    TransformDialogTextField b;
    ASSERT_NE(a.tokenTextFieldEditor(), nullptr);
    EXPECT_NE(a.tokenTextFieldEditor(), b.tokenTextFieldEditor());
    EXPECT_EQ(a.tokenTextFieldEditor()->controlView(), &a);
    EXPECT_EQ(a.supportedTokenTypes(), QList<TokenType> { TokenType::STRING });
}

TEST(TokenField, tabbingInPutsTheInsertionPointAtTheEnd)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* field = new TransformDialogTextField(&window);
    auto* after = new QLineEdit(&window);
    layout->addWidget(before);
    layout->addWidget(field);
    layout->addWidget(after);
    field->setStringValue(QStringLiteral("hello"));
    window.show();
    QApplication::setActiveWindow(&window);
    before->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return field->isBeingEdited(); }));
    QTextCursor cursor = field->tokenTextFieldEditor()->textCursor();
    EXPECT_FALSE(cursor.hasSelection());
    EXPECT_EQ(cursor.position(), 5);

    // Tab leaves the field after the key has been handled.
    QTest::keyClick(field->tokenTextFieldEditor(), Qt::Key_Tab);
    EXPECT_TRUE(field->isBeingEdited());
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return after->hasFocus(); }));
    QTest::keyClick(after, Qt::Key_Backtab);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return field->isBeingEdited(); }));
    QTest::keyClick(field->tokenTextFieldEditor(), Qt::Key_Backtab);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return before->hasFocus(); }));
}

namespace {
// A token field and a line edit in an active window, to move the focus between.
struct FieldBesideLineEdit {
    QWidget window;
    TransformDialogTextField* field = new TransformDialogTextField(&window);
    QLineEdit* other = new QLineEdit(&window);

    bool activate()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
};
} // namespace

TEST(TokenField, selectTextKeepsTheSelectionOrGoesToTheEnd)
{
    FieldBesideLineEdit shown;
    ASSERT_TRUE(shown.activate());
    TransformDialogTextField* field = shown.field;
    QLineEdit* other = shown.other;

    other->setFocus();
    field->selectText();
    EXPECT_EQ(field->tokenTextFieldEditor()->textCursor().position(), 0) << "an empty field";

    field->setStringValue(QStringLiteral("abcdef"));
    QTextCursor cursor(field->tokenTextFieldEditor()->document());
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    field->tokenTextFieldEditor()->setTextCursor(cursor);
    field->selectText();
    EXPECT_EQ(field->tokenTextFieldEditor()->textCursor().selectionStart(), 1);
    EXPECT_EQ(field->tokenTextFieldEditor()->textCursor().selectionEnd(), 3);

    other->setFocus();
    field->selectText();
    EXPECT_FALSE(field->tokenTextFieldEditor()->textCursor().hasSelection());
    EXPECT_EQ(field->tokenTextFieldEditor()->textCursor().position(), 6);
}

TEST(TokenField, acquireFocusOfAFieldOutsideItsWindowDoesNothing)
{
    FieldBesideLineEdit shown;
    ASSERT_TRUE(shown.activate());
    TransformDialogTextField* field = shown.field;
    QLineEdit* other = shown.other;
    other->setFocus();

    field->acquireFocus();
    EXPECT_FALSE(field->isBeingEdited()) << "deferred";
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return field->isBeingEdited(); }));

    other->setFocus();
    field->setParent(nullptr);
    field->acquireFocus();
    TestEnvironment::drainEvents();
    EXPECT_FALSE(field->isBeingEdited());
    delete field;
}

TEST(TokenField, roleTags)
{
    QLineEdit control;
    EXPECT_FALSE(ControlRole::hasRole(&control, RoleTag::attributeTokenSupport));
    EXPECT_FALSE(ControlRole::hasRole(&control, RoleTag::regexTokenSupport));
    ControlRole::assignRole(&control, RoleTag::regexTokenSupport);
    EXPECT_EQ(ControlRole::tag(&control), 4294967297LL);
    EXPECT_TRUE(ControlRole::hasRole(&control, RoleTag::regexTokenSupport));
    EXPECT_FALSE(ControlRole::hasRole(&control, RoleTag::attributeTokenSupport));
}

class TokenFieldTyping : public ::testing::Test {
protected:
    // Ends a delay that an earlier test left pending.
    void SetUp() override { finishDelayedUpdate(); }
    void TearDown() override { finishDelayedUpdate(); }
    ManualClock& clock = testClock();
};

TEST_F(TokenFieldTyping, typingSavesOnceAfterThePause)
{
    TransformDialogTextField field;
    NotificationRecorder recorder({ NotificationName::transformButtonSave, NotificationName::applyChanges });
    field.setTokenString(sample());
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 0) << "before typing";
    EXPECT_FALSE(DelayedUpdateWorker::isPending()) << "loading a value is no edit";

    QTest::keyClicks(field.tokenTextFieldEditor(), QStringLiteral("xyz"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return clock.sleeperCount() == 1; }));
    clock.advance(600ms);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 0);
    clock.advance(100ms);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::transformButtonSave) == 1; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 1);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);

    // A change after the save starts a new delay.
    QTest::keyClicks(field.tokenTextFieldEditor(), QStringLiteral("q"));
    EXPECT_TRUE(DelayedUpdateWorker::isPending());
}

} // namespace

namespace {

// The colour a run of the editor's text is drawn in: its own, or the palette's text colour.
QColor drawnColour(const TokenTextFieldEditor& editor, int position)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    const QTextCharFormat format = cursor.charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : editor.palette().color(QPalette::Active, QPalette::Text);
}

} // namespace

// Text typed in a light palette reads after a switch to a dark one, and back.
TEST(TokenFieldPalette, typedTextFollowsAPaletteSwitch)
{
    Palettes::Restore restore;
    QApplication::setPalette(QApplication::style()->standardPalette());
    QWidget window;
    auto* field = new TransformDialogTextField(&window);
    window.show();
    field->tokenTextFieldEditor()->setFocus();
    QTest::keyClicks(field->tokenTextFieldEditor(), QStringLiteral("IMG"));
    ASSERT_EQ(field->stringValue(), QStringLiteral("IMG"));
    for (const QPalette& palette : { Palettes::dark(), QApplication::style()->standardPalette() }) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        const TokenTextFieldEditor& editor = *field->tokenTextFieldEditor();
        for (int position : { 1, 3 })
            EXPECT_GE(ColorContrast::ratio(drawnColour(editor, position), editor.palette().color(QPalette::Base)), 4.5)
                << (Appearance::isDarkMode(palette) ? "dark" : "light") << " at " << position;
    }
}

// A screen reader hears each chip by its label, and its offsets are those of that text.
TEST(TokenFieldAccessibility, chipsReadAsTheirLabels)
{
    QWidget window;
    auto* field = new TransformDialogTextField(&window);
    field->setSupportedTokenTypes({ TokenType::STRING, TokenType::ATTRIBUTE });
    window.show();
    const TokenString value = sample();
    field->setTokenString(value);
    const QString label = value.items().at(1).displayValue();
    ASSERT_FALSE(label.isEmpty());
    TokenTextFieldEditor* editor = field->tokenTextFieldEditor();
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(editor);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->role(), QAccessible::EditableText);
    EXPECT_EQ(node->childCount(), 0) << "no unnamed filler inside the field";
    const QString spoken = QStringLiteral("ab") + label + QStringLiteral("cd");
    EXPECT_EQ(node->text(QAccessible::Value), spoken);
    QAccessibleTextInterface* text = node->textInterface();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->characterCount(), spoken.size());
    EXPECT_EQ(text->text(0, text->characterCount()), spoken);
    EXPECT_FALSE(text->text(0, text->characterCount()).contains(QChar::ObjectReplacementCharacter));

    // The caret after the chip is after its label; one set at the label's end lands after the chip.
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(3);
    editor->setTextCursor(cursor);
    EXPECT_EQ(text->cursorPosition(), 2 + label.size());
    text->setCursorPosition(2 + label.size() + 1);
    EXPECT_EQ(editor->textCursor().position(), 4);
    // A selection that reaches into the label takes the whole chip.
    text->setSelection(0, 2, 3);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 2 + label.size());
    EXPECT_EQ(editor->textCursor().selectionStart(), 2);
    EXPECT_EQ(editor->textCursor().selectionEnd(), 3);

    EXPECT_TRUE(node->text(QAccessible::Description).contains(QStringLiteral("Alt+Down")))
        << "the field says how the keyboard opens a chip's options";
    TransformDialogTextField plain;
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(plain.tokenTextFieldEditor())->text(QAccessible::Description).isEmpty())
        << "a field without chips has no chip options to tell of";
}

// A focused field shows it by a ring in the highlight colour.
TEST(TokenFieldFocus, theFocusedFieldDrawsAFocusRing)
{
    QWidget window;
    auto* field = new TransformDialogTextField(&window);
    auto* other = new QLineEdit(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(field);
    window.layout()->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QColor highlight = field->palette().color(QPalette::Active, QPalette::Highlight);
    const auto ringPixels = [&] {
        TestEnvironment::drainEvents();
        const QImage image = field->tokenTextFieldEditor()->viewport()->grab().toImage();
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, 0).rgb() == highlight.rgb() ? 1 : 0;
        return count;
    };
    other->setFocus();
    EXPECT_EQ(ringPixels(), 0);
    field->tokenTextFieldEditor()->setFocus();
    EXPECT_GT(ringPixels(), field->tokenTextFieldEditor()->viewport()->width() / 2);
    other->setFocus();
    EXPECT_EQ(ringPixels(), 0) << "the ring goes with the focus";
}
