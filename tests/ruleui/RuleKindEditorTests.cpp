// SPDX-License-Identifier: GPL-3.0-or-later
#include "Palettes.h"
#include "TestEnvironment.h"
#include "NotificationRecorder.h"

#include "core/AppNotification.h"
#include "core/DelayedUpdateWorker.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationQueue.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "ruleui/ConversionTransformerViewController.h"
#include "ruleui/NumberingTransformerViewController.h"
#include "ruleui/RegexTransformerViewController.h"
#include "ruleui/SegmentedControl.h"
#include "ruleui/SelectTransformerViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "ruleui/TrimTransformerViewController.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/IntegerField.h"
#include "uikit/NamedComboBox.h"
#include "uikit/QColor+contrast.h"
#include "uikit/ViewTree.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <limits>

namespace {

using P = TransformerProperties;

// A stored rule that lacks every field of the five kinds (fresh properties
// hold false flags instead).
P absentFields()
{
    P p;
    p.numberFindWildcards = p.numberFindRegex = p.numberFindCaseInsensitive = p.numberFindFirst = std::nullopt;
    p.conversionFindWildcards = p.conversionFindRegex = p.conversionFindCaseInsensitive = p.conversionFindFirst = std::nullopt;
    p.conversionLookupAnchorStart = p.conversionLookupAnchorEnd = std::nullopt;
    p.trimFindWildcards = p.trimFindRegex = p.trimFindCaseInsensitive = p.trimFindFirst = std::nullopt;
    p.regexCaseInsensitive = p.regexFindFirst = std::nullopt;
    return p;
}

TokenString regexChips()
{
    TokenItem builder(TokenType::REGEX, QStringLiteral("regex"));
    return TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("^a")), builder, TokenItem::string(QStringLiteral("z")) });
}

// Every field of the five kinds set, none at its default.
P everyFieldSet()
{
    P p = absentFields();
    p.numberFindText = QStringLiteral("img");
    p.numberFindWildcards = false;
    p.numberFindRegex = true;
    p.numberFindCaseInsensitive = false;
    p.numberFindFirst = false;
    p.numberPosition = QStringLiteral("start");
    p.numberPositionOffset = -3;
    p.numberSeparatorText = QStringLiteral(" - ");
    p.numberFormat = QStringLiteral("roman");
    p.numberDigits = 4;
    p.numberStart = std::numeric_limits<qint64>::max() - 1;
    p.numberSkip = -2;
    p.numberRepeatCount = 3;
    p.numberResetCount = 7;
    p.numberResetEveryDirectoryChange = true;
    p.numberRandom = true;
    p.numberUpdateStart = true;

    p.conversionFindText = QStringLiteral("x*");
    p.conversionFindWildcards = false;
    p.conversionFindRegex = true;
    p.conversionFindCaseInsensitive = false;
    p.conversionFindFirst = false;
    p.conversionType = ConversionType::lookup;
    p.conversionLookup = QList<QStringList> { { QStringLiteral("a"), QStringLiteral("b") } };
    p.conversionLookupCaseInsensitive = true;
    p.conversionLookupAnchorStart = true;
    p.conversionLookupAnchorEnd = true;

    p.trimFindText = QStringLiteral("[0-9]+");
    p.trimFindWildcards = false;
    p.trimFindRegex = true;
    p.trimFindCaseInsensitive = false;
    p.trimFindFirst = false;
    p.trimPosition = QStringLiteral("aroundeach");
    p.trimOffset = 123456789012LL;
    p.trimCount = -4;
    p.trimMatch = QStringLiteral("keepanyexcept");
    p.trimCharacters = QStringLiteral("_-");
    p.trimLeadingTrailingSpaces = false;

    p.selectType = QStringLiteral("notmatching");
    p.selectMatch = QStringLiteral("\\.jpe?g$");

    p.regexFindText = regexChips();
    p.regexReplaceText = TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("$1-")), TokenItem::attribute(QStringLiteral("file-size")) });
    p.regexCaseInsensitive = false;
    p.regexFindFirst = false;
    return p;
}

struct KindCase {
    const char* name;
    TransformerType type;
    std::function<std::unique_ptr<TransformerView>()> make;
};

const QList<KindCase>& kinds()
{
    static const QList<KindCase> cases {
        { "Numbering", TransformerType::numbering, [] { return std::make_unique<NumberingTransformerViewController>(); } },
        { "Conversion", TransformerType::conversion, [] { return std::make_unique<ConversionTransformerViewController>(); } },
        { "Trim", TransformerType::trim, [] { return std::make_unique<TrimTransformerViewController>(); } },
        { "Select", TransformerType::select, [] { return std::make_unique<SelectTransformerViewController>(); } },
        { "Regex", TransformerType::regex, [] { return std::make_unique<RegexTransformerViewController>(); } },
    };
    return cases;
}

// The editor's own group of a saved record; the lookup table is never the
// Conversion editor's to write.
P group(const P& p, TransformerType type)
{
    P only = p.copy(type);
    only.conversionLookup.reset();
    return only;
}

class Editors : public ::testing::Test {
protected:
    void TearDown() override
    {
        TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
    }
};

TEST_F(Editors, everyFieldSetLoadsAndSavesBackUnchanged)
{
    const P full = everyFieldSet();
    for (const KindCase& kind : kinds()) {
        auto editor = kind.make();
        editor->loadState(full);
        P saved = absentFields();
        editor->saveState(saved);
        EXPECT_EQ(group(saved, kind.type), group(full, kind.type)) << kind.name;
        EXPECT_EQ(saved.conversionLookup, std::nullopt) << kind.name << ": the lookup table is left alone";
        // Only its own group is written.
        for (const KindCase& other : kinds())
            if (other.type != kind.type)
                EXPECT_EQ(group(saved, other.type), group(absentFields(), other.type)) << kind.name << " wrote " << other.name;
    }
}

TEST_F(Editors, absentFieldsGiveTheDefaults)
{
    const P absent = absentFields();

    NumberingTransformerViewController numbering;
    numbering.loadState(everyFieldSet());
    numbering.loadState(absent);
    P n = absent;
    numbering.saveState(n);
    EXPECT_EQ(n.numberFindText, QString());
    EXPECT_EQ(n.numberFindWildcards, true);
    EXPECT_EQ(n.numberFindRegex, false);
    EXPECT_EQ(n.numberFindCaseInsensitive, true);
    EXPECT_EQ(n.numberFindFirst, true);
    EXPECT_EQ(n.numberPositionOffset, 0);
    EXPECT_EQ(n.numberStart, 1);
    EXPECT_EQ(n.numberDigits, 1);
    EXPECT_EQ(n.numberSkip, 1);
    EXPECT_EQ(n.numberRepeatCount, 1);
    EXPECT_EQ(n.numberResetCount, std::nullopt);
    EXPECT_EQ(n.numberSeparatorText, QString());
    EXPECT_EQ(n.numberRandom, false);
    EXPECT_EQ(n.numberResetEveryDirectoryChange, false);
    EXPECT_EQ(n.numberUpdateStart, false);
    // What the rule does without them, not the previous rule's "start" and "roman".
    EXPECT_EQ(n.numberPosition, QStringLiteral("end"));
    EXPECT_EQ(n.numberFormat, QStringLiteral("decimal"));
    EXPECT_FALSE(numbering.numberResetEvery()->isChecked());
    EXPECT_FALSE(numbering.numberResetEveryText()->isEnabled());

    ConversionTransformerViewController conversion;
    conversion.loadState(everyFieldSet());
    conversion.loadState(absent);
    P c = absent;
    conversion.saveState(c);
    EXPECT_EQ(c.conversionFindText, QString());
    EXPECT_EQ(c.conversionFindWildcards, true);
    EXPECT_EQ(c.conversionFindCaseInsensitive, true);
    EXPECT_EQ(c.conversionFindFirst, true);
    EXPECT_EQ(c.conversionLookupCaseInsensitive, false) << "the lookup is case-sensitive unless the rule says otherwise";
    EXPECT_EQ(c.conversionLookupAnchorStart, false);
    EXPECT_EQ(c.conversionLookupAnchorEnd, false);
    EXPECT_EQ(c.conversionType, ConversionType::lowercase);
    EXPECT_TRUE(conversion.lookupTableButton()->isHidden());

    TrimTransformerViewController trim;
    trim.loadState(everyFieldSet());
    trim.loadState(absent);
    P t = absent;
    trim.saveState(t);
    EXPECT_EQ(t.trimPosition, QStringLiteral("start"));
    EXPECT_EQ(t.trimOffset, 0);
    EXPECT_EQ(t.trimCount, 0);
    EXPECT_EQ(t.trimMatch, QStringLiteral("trimany"));
    EXPECT_EQ(t.trimCharacters, QString());
    EXPECT_EQ(t.trimLeadingTrailingSpaces, true);
    EXPECT_FALSE(trim.charactersText()->isEnabled());
    EXPECT_FALSE(trim.charactersLabel()->isEnabled());

    SelectTransformerViewController select;
    select.loadState(everyFieldSet());
    select.loadState(absent);
    P s = absent;
    select.saveState(s);
    EXPECT_EQ(s.selectType, QStringLiteral("matching"));
    EXPECT_EQ(s.selectMatch, QString());
    EXPECT_TRUE(select.matchText()->isEnabled());

    RegexTransformerViewController regex;
    regex.loadState(everyFieldSet());
    regex.loadState(absent);
    P r = absent;
    regex.saveState(r);
    EXPECT_EQ(r.regexFindText, TokenString());
    EXPECT_EQ(r.regexReplaceText, TokenString());
    EXPECT_EQ(r.regexCaseInsensitive, true);
    EXPECT_EQ(r.regexFindFirst, true);
}

TEST_F(Editors, ruleBLackingAsValuesNeverShowsThem)
{
    // Rule B holds values the popups cannot show; the rule reads them as its defaults.
    P unknown = absentFields();
    unknown.numberPosition = QStringLiteral("beginning");
    unknown.numberFormat = QStringLiteral("octal");
    unknown.trimPosition = QStringLiteral("middle");
    unknown.trimMatch = QStringLiteral("trimsome");
    unknown.selectType = QStringLiteral("some");

    NumberingTransformerViewController numbering;
    TrimTransformerViewController trim;
    SelectTransformerViewController select;
    for (TransformerView* editor : std::initializer_list<TransformerView*> { &numbering, &trim, &select }) {
        editor->loadState(everyFieldSet());
        editor->loadState(unknown);
    }
    P saved = absentFields();
    numbering.saveState(saved);
    trim.saveState(saved);
    select.saveState(saved);
    EXPECT_EQ(saved.numberPosition, QStringLiteral("end"));
    EXPECT_EQ(saved.numberFormat, QStringLiteral("decimal"));
    EXPECT_EQ(saved.trimPosition, QStringLiteral("around"));
    EXPECT_EQ(saved.trimMatch, QStringLiteral("trimany"));
    EXPECT_EQ(saved.selectType, QStringLiteral("notmatching"));
}

TEST_F(Editors, numberingResetAndRandomKeepTheCountersConsistent)
{
    NumberingTransformerViewController editor;
    editor.loadState(absentFields());
    editor.enableControls(true);
    NotificationRecorder recorder({ NotificationName::transformButtonSave, NotificationName::resetRandomNumbers });

    // Reset switched on from 0 starts at every 2 files; off puts 0 back; 5 stays.
    editor.numberResetEvery()->click();
    EXPECT_EQ(editor.numberResetEveryText()->value(), 2);
    EXPECT_TRUE(editor.numberResetEveryText()->isEnabled());
    editor.numberResetEvery()->click();
    EXPECT_EQ(editor.numberResetEveryText()->value(), 0);
    editor.numberResetEveryText()->setValue(5);
    editor.numberResetEvery()->click();
    EXPECT_EQ(editor.numberResetEveryText()->value(), 5);

    // Random numbers grey every counter, the reset count included, and
    // free the Generate button; loading such a rule does the same.
    editor.numberRandom()->click();
    for (QWidget* counter : std::initializer_list<QWidget*> { editor.numberStart(), editor.numberSkip(),
             editor.numberRepeatCount(), editor.numberResetEvery(), editor.numberResetEveryText(),
             editor.resetEveryDirectoryCheckbox(), editor.numberUpdateStartAfterRename(), editor.numberStartLabel() })
        EXPECT_FALSE(counter->isEnabled()) << counter->accessibleName().toStdString();
    EXPECT_TRUE(editor.numberGenerateButton()->isEnabled());
    editor.loadState(everyFieldSet());
    EXPECT_FALSE(editor.numberResetEveryText()->isEnabled()) << "reset 7 with random numbers on";
    EXPECT_TRUE(editor.numberResetEvery()->isChecked());

    // Blocked input greys the Generate button too; released, the rule's own state comes back.
    editor.enableControls(false);
    EXPECT_FALSE(editor.numberGenerateButton()->isEnabled());
    EXPECT_FALSE(editor.numberRandom()->isEnabled());
    editor.enableControls(true);
    EXPECT_TRUE(editor.numberGenerateButton()->isEnabled());
    EXPECT_FALSE(editor.numberStart()->isEnabled());

    TestEnvironment::drainEvents();
    recorder.received.clear();
    editor.numberGenerateButton()->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.names(), (QStringList { NotificationName::resetRandomNumbers, NotificationName::transformButtonSave }));
}

TEST_F(Editors, typingADigitCountSavesAndDrawsNewRandomNumbers)
{
    NumberingTransformerViewController editor;
    editor.loadState(absentFields());
    editor.show();
    NotificationRecorder recorder({ NotificationName::transformButtonSave, NotificationName::resetRandomNumbers });
    // The same count again changes nothing.
    editor.numberDigits()->setFocus();
    QTest::keyClick(editor.numberDigits(), Qt::Key_Return);
    TestEnvironment::drainEvents();
    EXPECT_TRUE(recorder.names().isEmpty());

    QTest::keyClick(editor.numberDigits(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor.numberDigits(), QStringLiteral("3"));
    QTest::keyClick(editor.numberDigits(), Qt::Key_Return);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::resetRandomNumbers), 1);
    EXPECT_GE(recorder.count(NotificationName::transformButtonSave), 1);
    P saved;
    editor.saveState(saved);
    EXPECT_EQ(saved.numberDigits, 3);
}

TEST_F(Editors, conversionClosesTheLookupTableOnlyWhenLeavingLookup)
{
    ConversionTransformerViewController editor;
    P other = absentFields();
    other.conversionType = ConversionType::uppercase;
    editor.loadState(other);
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::hideLookupTable, NotificationName::updateLookupTable,
        NotificationName::toggleLookupTable, NotificationName::transformButtonSave });

    // Loading and saving rules that never used the lookup leaves the side panel alone.
    editor.loadState(other);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::hideLookupTable), 0);
    EXPECT_EQ(recorder.count(NotificationName::updateLookupTable), 1);

    // Choosing Lookup shows its controls and closes nothing.
    editor.conversionSelector()->setCurrentIndex(7);
    editor.stateChanged();
    EXPECT_FALSE(editor.lookupTableButton()->isHidden());
    EXPECT_FALSE(editor.lookupOptions()->isHidden());
    editor.lookupTableButton()->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::hideLookupTable), 0);
    EXPECT_EQ(recorder.count(NotificationName::toggleLookupTable), 1);

    // Leaving it closes the table once.
    editor.conversionSelector()->setCurrentIndex(2);
    editor.stateChanged();
    TestEnvironment::drainEvents();
    EXPECT_TRUE(editor.lookupTableButton()->isHidden());
    EXPECT_EQ(recorder.count(NotificationName::hideLookupTable), 1);
    P saved;
    editor.saveState(saved);
    EXPECT_EQ(saved.conversionType, ConversionType::capitalizeall) << "\"Capitalize Each Word\"";
}

TEST_F(Editors, trimCharactersFieldFollowsTheMatchAndTheInput)
{
    TrimTransformerViewController editor;
    editor.loadState(absentFields());
    editor.enableControls(true);
    for (int i = 0; i < 6; ++i) {
        editor.matchingSelector()->setCurrentIndex(i);
        editor.matchingSelectorChanged();
        const bool usesSet = i != 0 && i != 3;
        EXPECT_EQ(editor.charactersText()->isEnabled(), usesSet) << i;
        EXPECT_EQ(editor.charactersLabel()->isEnabled(), usesSet) << i;
    }
    editor.matchingSelector()->setCurrentIndex(1);
    editor.enableControls(false);
    EXPECT_FALSE(editor.charactersText()->isEnabled());
    editor.enableControls(true);
    EXPECT_TRUE(editor.charactersText()->isEnabled());
}

TEST_F(Editors, typingATrimOffsetSavesAfterThePause)
{
    TrimTransformerViewController editor;
    editor.loadState(absentFields());
    QTest::keyClicks(editor.offsetText(), QStringLiteral("7"));
    EXPECT_TRUE(DelayedUpdateWorker::isPending());
    QTest::keyClicks(editor.countText(), QStringLiteral("5"));
    P saved;
    editor.saveState(saved);
    EXPECT_EQ(saved.trimOffset, 7) << "\"07\" reads 7";
    EXPECT_EQ(saved.trimCount, 5);
}

TEST_F(Editors, selectAllGreysTheExpressionAndKeepsIt)
{
    SelectTransformerViewController editor;
    P rule = absentFields();
    rule.selectMatch = QStringLiteral("^x");
    editor.loadState(rule);
    editor.typeSelector()->setCurrentIndex(0);
    editor.typeChanged();
    EXPECT_FALSE(editor.matchText()->isEnabled());
    EXPECT_FALSE(editor.matchLabel()->isEnabled());
    P saved;
    editor.saveState(saved);
    EXPECT_EQ(saved.selectType, QStringLiteral("all"));
    EXPECT_EQ(saved.selectMatch, QStringLiteral("^x"));
    editor.loadState(everyFieldSet());
    EXPECT_TRUE(editor.matchText()->isEnabled());
    editor.loadState(saved);
    EXPECT_EQ(editor.typeSelector()->currentText(), QStringLiteral("All"));
}

TEST_F(Editors, addExpressionPutsABuilderChipAtTheCaret)
{
    RegexTransformerViewController editor;
    P rule = absentFields();
    rule.regexFindText = TokenString::string(QStringLiteral("abcdef"));
    editor.loadState(rule);

    // Not being edited: appended at the end.
    editor.addRegexButtonAction();
    QList<TokenItem> items = editor.regexFindText()->tokenString().items();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(1).type, TokenType::REGEX);

    // Being edited, with "def" selected after the caret at 3: the chip goes
    // in front of the selection, nothing is deleted, the caret follows it.
    editor.loadState(rule);
    editor.show();
    editor.activateWindow();
    TokenTextFieldEditor* field = editor.regexFindText()->tokenTextFieldEditor();
    field->setFocus();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return editor.regexFindText()->isBeingEdited(); }));
    QTextCursor selection = field->textCursor();
    selection.setPosition(3);
    selection.setPosition(6, QTextCursor::KeepAnchor);
    field->setTextCursor(selection);
    editor.addRegexButtonAction();
    editor.addRegexButtonAction();
    items = editor.regexFindText()->tokenString().items();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items.at(0).value, QStringLiteral("abc"));
    EXPECT_EQ(items.at(1).type, TokenType::REGEX);
    EXPECT_EQ(items.at(2).type, TokenType::REGEX);
    EXPECT_NE(items.at(1).id, items.at(2).id);
    EXPECT_EQ(items.at(3).value, QStringLiteral("def"));
    EXPECT_EQ(field->textCursor().position(), 5);
    EXPECT_EQ(editor.insertTokenField(), editor.regexReplaceText());
}

TEST_F(Editors, everyControlHasANameAndATip)
{
    for (const KindCase& kind : kinds()) {
        auto editor = kind.make();
        for (QWidget* control : ViewTree::controls(editor->viewController())) {
            // The inner line edit of an integer field is named by its field.
            if (qobject_cast<IntegerField*>(control->parentWidget()))
                continue;
            // The find fields' editors speak for their field.
            if (qobject_cast<TokenTextFieldEditor*>(control))
                continue;
            EXPECT_FALSE(control->accessibleName().isEmpty()) << kind.name << " " << control->metaObject()->className();
            EXPECT_FALSE(control->toolTip().isEmpty()) << kind.name << " " << control->metaObject()->className();
        }
    }
}

TEST(IntegerFieldTest, holdsTheWholeRangeAndStopsAtItsEnds)
{
    IntegerField field;
    field.setValue(std::numeric_limits<qint64>::max() - 1);
    field.stepBy(5);
    EXPECT_EQ(field.value(), std::numeric_limits<qint64>::max());
    field.setValue(std::numeric_limits<qint64>::min());
    field.stepBy(-1);
    EXPECT_EQ(field.value(), std::numeric_limits<qint64>::min());
    QString text = QStringLiteral("12a");
    int position = 0;
    EXPECT_EQ(field.validate(text, position), QValidator::Invalid);
    text = QStringLiteral("99999999999999999999");
    EXPECT_EQ(field.validate(text, position), QValidator::Invalid) << "beyond 64 bits";
    text = QStringLiteral("-");
    EXPECT_EQ(field.validate(text, position), QValidator::Intermediate);
}

// A click on an arrow saves at once; a key step waits for the edit to be
// committed, as typing does.
TEST(IntegerFieldTest, keyStepsAreSavedWhenTheEditIsCommitted)
{
    QWidget window;
    auto* field = new IntegerField(&window);
    auto* other = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setValue(4);
    QList<qint64> edits;
    QObject::connect(field, &IntegerField::valueEdited, [&](qint64 value) { edits.append(value); });

    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->value(), 5);
    EXPECT_TRUE(edits.isEmpty());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(edits, QList<qint64> { 5 });

    QTest::keyClick(field, Qt::Key_Up);
    other->setFocus(); // leaving the field commits too
    EXPECT_EQ(edits, (QList<qint64> { 5, 6 }));

    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(edits, (QList<qint64> { 5, 6 })) << "back where it was: nothing to save";

    field->stepBy(1); // the arrow buttons step through stepBy outside a key press
    EXPECT_EQ(edits, (QList<qint64> { 5, 6, 7 }));
}

// The rule editor with the five editors over a rule list.
class RuleEditorKinds : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        dialog = std::make_unique<TransformViewDialogController>(&transformers);
    }
    void TearDown() override
    {
        TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
        MainWindowLocator::setUndoManager(nullptr);
    }
    QString addRule(TransformerType type, const P& properties)
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = type;
        rule.properties = properties;
        rule.needsInitialSave = false;
        transformers.insert(rule, transformers.count());
        return rule.id;
    }
    void select(const QString& id)
    {
        transformers.selectTransformer(id);
        NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });
    }

    Transformers transformers;
    UndoManager undoManager;
    std::unique_ptr<TransformViewDialogController> dialog;
};

TEST_F(RuleEditorKinds, switchingTheKindShowsThatKindsEditor)
{
    const QString id = addRule(TransformerType::simple, absentFields());
    select(id);
    dialog->show();
    const QList<std::pair<int, TransformerType>> switches { { 5, TransformerType::numbering }, { 6, TransformerType::trim },
        { 7, TransformerType::conversion }, { 8, TransformerType::regex }, { 9, TransformerType::select } };
    for (const auto& [index, type] : switches) {
        dialog->typeSelector()->setCurrentIndex(index);
        dialog->typeSelectorChanged();
        TransformerView* shown = dialog->currentTransformerView();
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->transformViewInfo().transformerType, type);
        EXPECT_TRUE(shown->viewController()->isVisible()) << index;
        EXPECT_EQ(transformers.transformer(id)->type, type);
        // The others are out of sight.
        for (TransformerView* view : dialog->transformerViews())
            if (view != shown)
                EXPECT_FALSE(view->viewController()->isVisible());
    }
    // The kind's settings were written when the rule first became that kind.
    EXPECT_EQ(transformers.transformer(id)->properties.numberStart, 1);
    EXPECT_EQ(transformers.transformer(id)->properties.selectType, QStringLiteral("matching"));
}

TEST_F(RuleEditorKinds, aRuleOfEachKindRoundTripsThroughTheRuleEditor)
{
    const P full = everyFieldSet();
    for (const KindCase& kind : kinds()) {
        const QString id = addRule(kind.type, full);
        select(id);
        NotificationCenter::defaultCenter().post({ NotificationName::transformButtonSave });
        const P stored = transformers.transformer(id)->properties;
        for (const KindCase& any : kinds())
            EXPECT_EQ(group(stored, any.type), group(full, any.type)) << kind.name << " rule, " << any.name << " values";
        EXPECT_EQ(stored.conversionLookup, full.conversionLookup) << kind.name;
    }
}

} // namespace

// What a screen reader meets in the rule editor: names that say what a
// control is for, whatever it shows, and the roles of what the controls do.
TEST_F(RuleEditorKinds, controlsAreNamedForWhatTheyAreAndTheScopesAreRadioButtons)
{
    select(addRule(TransformerType::numbering, absentFields()));
    dialog->show();
    const auto accessible = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); };

    SegmentedControl* scope = dialog->scopeSegmentedControl();
    for (int i = 0; i < scope->segmentCount(); ++i)
        EXPECT_EQ(accessible(scope->segment(i))->role(), QAccessible::RadioButton) << i;

    NumberingTransformerViewController numbering;
    ConversionTransformerViewController conversion;
    struct ComboCase {
        const char* name;
        QComboBox* combo;
        QString expected;
    };
    const QList<ComboCase> combos { { "kind", dialog->typeSelector(), QStringLiteral("Kind") },
        { "format", numbering.numberFormat(), QStringLiteral("Format") },
        { "conversion", conversion.conversionSelector(), QStringLiteral("Conversion") } };
    for (const ComboCase& c : combos) {
        ASSERT_GT(c.combo->count(), 1) << c.name;
        for (int index : { 0, 1 }) {
            c.combo->setCurrentIndex(index);
            QAccessibleInterface* node = accessible(c.combo);
            EXPECT_EQ(node->role(), QAccessible::ComboBox) << c.name;
            EXPECT_EQ(node->text(QAccessible::Name), c.expected) << c.name << " showing " << index;
            EXPECT_EQ(node->text(QAccessible::Value), c.combo->currentText()) << c.name;
        }
    }

    NamedComboBox editable;
    editable.setEditable(true);
    editable.setAccessibleName(QStringLiteral("Pattern"));
    ASSERT_EQ(accessible(&editable)->childCount(), 1) << "an editable box keeps its text field";
    EXPECT_EQ(accessible(&editable)->child(0)->object(), editable.lineEdit());
    EXPECT_EQ(accessible(&editable)->indexOfChild(accessible(editable.lineEdit())), 0);

    // The find toggles are named by their word; the tool tip says more.
    for (SegmentedControl* toggles : { numbering.numberFindOptions(), conversion.conversionFindOptions() }) {
        const QStringList words { "Wildcards", "RegEx", "Case", "First" };
        ASSERT_EQ(toggles->segmentCount(), words.size());
        for (int i = 0; i < words.size(); ++i) {
            EXPECT_EQ(accessible(toggles->segment(i))->text(QAccessible::Name), words.at(i));
            EXPECT_EQ(accessible(toggles->segment(i))->role(), QAccessible::CheckBox) << "toggles stay check boxes";
            EXPECT_GT(toggles->segment(i)->toolTip().size(), words.at(i).size());
        }
    }
}

// The expression builder button beside the find field takes the keyboard
// focus, in reading order, without taking it from the field on a click.
TEST_F(RuleEditorKinds, tabReachesTheAddExpressionButtonRightAfterItsField)
{
    RegexTransformerViewController regex;
    regex.show();
    const QList<QWidget*> stops = ViewTree::tabStops(&regex);
    const qsizetype button = stops.indexOf(regex.addRegexButton());
    ASSERT_GE(button, 1);
    EXPECT_EQ(stops.at(button - 1), regex.regexFindText());
    EXPECT_FALSE(regex.addRegexButton()->focusPolicy() & Qt::ClickFocus);
}

namespace {

QColor middleOf(QWidget* widget)
{
    return widget->grab().toImage().pixelColor(widget->width() / 2, 3);
}

QList<std::pair<const char*, QPalette>> bothPalettes()
{
    return { { "light", QApplication::style()->standardPalette() }, { "dark", Palettes::dark() } };
}

} // namespace

// A toggle that is on stands out from one that is off at 3:1 at least, in
// light and dark palettes and after a switch between them.
TEST_F(RuleEditorKinds, togglesShowTheirStateAtThreeToOneInBothPalettes)
{
    Palettes::Restore restore;
    select(addRule(TransformerType::regex, absentFields()));
    dialog->show();
    TestEnvironment::drainEvents();
    auto* regex = dynamic_cast<RegexTransformerViewController*>(dialog->currentTransformerView());
    ASSERT_NE(regex, nullptr);
    SegmentedControl* toggles = regex->regexFindOptions();
    toggles->setSelected(0, true);
    toggles->setSelected(1, false);
    for (const auto& [name, palette] : bothPalettes()) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        const QColor on = middleOf(toggles->segment(0));
        const QColor off = middleOf(toggles->segment(1));
        EXPECT_GE(ColorContrast::ratio(on, off), 3.0) << name << ": " << on.name().toStdString() << " on "
                                                      << off.name().toStdString() << " off";
        EXPECT_GE(ColorContrast::ratio(on, palette.color(QPalette::Highlight)), 1.0);
    }
}

// The tint that marks an invalid pattern is made again from the palette in
// force, so the field's text stays readable after a switch.
TEST_F(RuleEditorKinds, theInvalidPatternTintFollowsAPaletteSwitch)
{
    Palettes::Restore restore;
    QApplication::setPalette(QApplication::style()->standardPalette());
    P p = absentFields();
    p.regexFindText = TokenString::string(QStringLiteral("(["));
    select(addRule(TransformerType::regex, p));
    dialog->show();
    TestEnvironment::drainEvents();
    auto* regex = dynamic_cast<RegexTransformerViewController*>(dialog->currentTransformerView());
    ASSERT_NE(regex, nullptr);
    ASSERT_TRUE(dialog->ruleErrorLabel()->isVisibleTo(dialog.get()));
    QWidget* field = regex->regexFindText();
    for (const auto& [name, palette] : { bothPalettes().at(1), bothPalettes().at(0) }) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        const QPalette shown = field->palette();
        EXPECT_NE(shown.color(QPalette::Base).rgb(), palette.color(QPalette::Base).rgb()) << name << ": still marked";
        EXPECT_GE(ColorContrast::ratio(shown.color(QPalette::Text), shown.color(QPalette::Base)), 4.5)
            << name << ": " << shown.color(QPalette::Base).name().toStdString();
        const QPalette editor = regex->regexFindText()->tokenTextFieldEditor()->palette();
        EXPECT_EQ(editor.color(QPalette::Base).rgb(), shown.color(QPalette::Base).rgb()) << name;
    }
}
