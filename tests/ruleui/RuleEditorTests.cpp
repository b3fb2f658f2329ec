// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "NotificationRecorder.h"
#include "tokenui/TestClock.h"

#include "core/AppNotification.h"
#include "core/AppNotification+Typed.h"
#include "core/DelayedUpdateWorker.h"
#include "core/FindParameters.h"
#include "core/String+find.h"
#include "platform/Clock.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "ruleui/FindTextTransformerViewController.h"
#include "ruleui/InsertTransformerViewController.h"
#include "ruleui/SegmentedControl.h"
#include "ruleui/TransformViewDialogController.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TokenTextViewController.h"
#include "tokenui/TransformDialogTextField.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QMimeData>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using P = TransformerProperties;

TokenString chipText()
{
    return TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("x-")), TokenItem::attribute(QStringLiteral("file-size")) });
}

// Fresh properties hold false flags; a stored rule may lack them entirely.
P absentFlags()
{
    P p;
    p.simpleWildcards = p.simpleCaseInsensitive = p.simpleFindFirst = std::nullopt;
    p.prefixFindWildcards = p.prefixFindRegex = p.prefixFindCaseInsensitive = p.prefixFindFirst = std::nullopt;
    p.insertFindWildcards = p.insertFindRegex = p.insertFindCaseInsensitive = p.insertFindFirst = std::nullopt;
    p.suffixFindWildcards = p.suffixFindRegex = p.suffixFindCaseInsensitive = p.suffixFindFirst = std::nullopt;
    p.setFindWildcards = p.setFindRegex = p.setFindCaseInsensitive = std::nullopt;
    return p;
}

TEST(FindTextEditors, absentFieldsLoadAsTheDefaultsAndSaveThem)
{
    SimpleTransformerViewController simple;
    simple.loadState(absentFlags());
    EXPECT_EQ(simple.findTextField()->stringValue(), QString());
    EXPECT_TRUE(simple.findOptions()->isSelected(0)) << "wildcards";
    EXPECT_FALSE(simple.findOptions()->isSelected(1)) << "case-sensitive";
    EXPECT_TRUE(simple.findOptions()->isSelected(2)) << "first match";
    P saved = absentFlags();
    simple.saveState(saved);
    EXPECT_EQ(saved.simpleFindText, QString());
    EXPECT_EQ(saved.simpleWildcards, true);
    EXPECT_EQ(saved.simpleCaseInsensitive, true);
    EXPECT_EQ(saved.simpleFindFirst, true);
    EXPECT_EQ(saved.simpleReplaceText, TokenString()) << "an empty token string, not none";
    EXPECT_FALSE(saved.prefixFindWildcards.has_value()) << "only its own group is written";

    SetTransformerViewController set;
    set.loadState(absentFlags());
    EXPECT_EQ(set.findOptions()->segmentCount(), 3);
    EXPECT_TRUE(set.findOptions()->isSelected(0));
    EXPECT_FALSE(set.findOptions()->isSelected(1));
    EXPECT_FALSE(set.findOptions()->isSelected(2));
}

struct EditorCase {
    const char* name;
    std::function<std::unique_ptr<FindTextTransformerViewController>()> make;
    std::function<void(P&, const QString&, const TokenString&)> fill;
    std::function<std::pair<std::optional<QString>, std::optional<TokenString>>(const P&)> read;
};

TEST(FindTextEditors, loadingRuleBNeverCarriesRuleAsValues)
{
    const QList<EditorCase> cases = {
        { "Replace", [] { return std::make_unique<SimpleTransformerViewController>(); },
            [](P& p, const QString& f, const TokenString& t) { p.simpleFindText = f; p.simpleReplaceText = t; p.simpleWildcards = false; },
            [](const P& p) { return std::make_pair(p.simpleFindText, p.simpleReplaceText); } },
        { "Prefix", [] { return std::make_unique<PrefixTransformerViewController>(); },
            [](P& p, const QString& f, const TokenString& t) { p.prefixFindText = f; p.prefixText = t; p.prefixFindWildcards = false; },
            [](const P& p) { return std::make_pair(p.prefixFindText, p.prefixText); } },
        { "Suffix", [] { return std::make_unique<SuffixTransformerViewController>(); },
            [](P& p, const QString& f, const TokenString& t) { p.suffixFindText = f; p.suffixText = t; p.suffixFindWildcards = false; },
            [](const P& p) { return std::make_pair(p.suffixFindText, p.suffixText); } },
        { "Set", [] { return std::make_unique<SetTransformerViewController>(); },
            [](P& p, const QString& f, const TokenString& t) { p.setFindText = f; p.setText = t; p.setFindWildcards = false; },
            [](const P& p) { return std::make_pair(p.setFindText, p.setText); } },
        { "Insert", [] { return std::make_unique<InsertTransformerViewController>(); },
            [](P& p, const QString& f, const TokenString& t) { p.insertFindText = f; p.insertText = t; p.insertFindWildcards = false; },
            [](const P& p) { return std::make_pair(p.insertFindText, p.insertText); } },
    };
    for (const EditorCase& c : cases) {
        auto editor = c.make();
        P ruleA = absentFlags();
        c.fill(ruleA, QStringLiteral("find-a"), chipText());
        editor->loadState(ruleA);
        EXPECT_FALSE(editor->findOptions()->isSelected(0)) << c.name;
        P savedA = absentFlags();
        editor->saveState(savedA);
        EXPECT_EQ(c.read(savedA).first, QStringLiteral("find-a")) << c.name;
        EXPECT_EQ(c.read(savedA).second, chipText()) << c.name << ": chips survive load and save";

        editor->loadState(absentFlags());
        EXPECT_TRUE(editor->findOptions()->isSelected(0)) << c.name;
        P savedB = absentFlags();
        editor->saveState(savedB);
        EXPECT_EQ(c.read(savedB).first, QString()) << c.name;
        EXPECT_EQ(c.read(savedB).second, TokenString()) << c.name;
    }
}

TEST(FindTextEditors, wildcardsAndRegularExpressionExcludeEachOther)
{
    PrefixTransformerViewController prefix;
    prefix.loadState(absentFlags()); // wildcards on
    NotificationRecorder recorder({ NotificationName::transformButtonSave });
    prefix.findOptions()->segment(1)->click();
    EXPECT_TRUE(prefix.findOptions()->isSelected(1));
    EXPECT_FALSE(prefix.findOptions()->isSelected(0));
    prefix.findOptions()->segment(0)->click();
    EXPECT_TRUE(prefix.findOptions()->isSelected(0));
    EXPECT_FALSE(prefix.findOptions()->isSelected(1));
    prefix.findOptions()->segment(2)->click();
    EXPECT_TRUE(prefix.findOptions()->isSelected(0)) << "other segments change nothing else";
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 1) << "queued posts coalesce";

    SimpleTransformerViewController simple;
    simple.loadState(absentFlags());
    simple.findOptions()->segment(1)->click();
    EXPECT_TRUE(simple.findOptions()->isSelected(0)) << "independent in the Replace editor";
}

TEST(InsertEditor, itsTokenButtonTogglesTheTokenPanel)
{
    QWidget window;
    auto* insert = new InsertTransformerViewController(&window);
    window.show();
    ASSERT_TRUE(insert->addAttributeButton()->isVisibleTo(&window));
    NotificationRecorder recorder({ NotificationName::toggleTokenAttributePanel });
    insert->addAttributeButton()->click();
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::toggleTokenAttributePanel) == 1; }));
}

TEST(InsertEditor, positionAndOffset)
{
    InsertTransformerViewController insert;
    P end = absentFlags();
    end.insertPosition = QStringLiteral("end");
    end.insertOffset = 3;
    insert.loadState(end);
    EXPECT_EQ(insert.positionPopup()->currentText(), QStringLiteral("End"));
    EXPECT_EQ(insert.offsetNumber()->text(), QStringLiteral("3"));

    P odd = absentFlags();
    odd.insertPosition = QStringLiteral("middle");
    insert.loadState(odd);
    EXPECT_EQ(insert.positionPopup()->currentText(), QStringLiteral("Start"));
    EXPECT_EQ(insert.offsetNumber()->text(), QStringLiteral("0"));
    P saved;
    insert.saveState(saved);
    EXPECT_EQ(saved.insertPosition, QStringLiteral("start"));
    EXPECT_EQ(saved.insertOffset, 0);

    insert.offsetNumber()->setText(QStringLiteral("5"));
    QTest::keyClick(insert.offsetNumber(), Qt::Key_Up);
    EXPECT_EQ(insert.offsetNumber()->text(), QStringLiteral("6"));
    EXPECT_EQ(insert.offsetStepper()->value(), 0) << "stepping does not touch the stepper";
    insert.stateChanged(insert.offsetNumber());
    EXPECT_EQ(insert.offsetStepper()->value(), 6);
    insert.offsetStepper()->setValue(9);
    insert.stateChanged(insert.offsetStepper());
    EXPECT_EQ(insert.offsetNumber()->text(), QStringLiteral("9"));
}

// The rule editor over a rule list, with an undo manager and the program's
// hand-driven clock for the typing delay.
class RuleEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        dialog = std::make_unique<TransformViewDialogController>(&transformers);
    }
    void TearDown() override { MainWindowLocator::setUndoManager(nullptr); }
    QString addRule(TransformerType type, const P& properties = {})
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
    FindTextTransformerViewController* editor(int index) const
    {
        return dynamic_cast<FindTextTransformerViewController*>(dialog->transformerViews().at(index));
    }

    ManualClock& clock = testClock();
    Transformers transformers;
    UndoManager undoManager;
    std::unique_ptr<TransformViewDialogController> dialog;
};

TEST_F(RuleEditor, typeSelectorListsTheKindsInEditorOrder)
{
    QStringList titles;
    for (int i = 0; i < dialog->typeSelector()->count(); ++i)
        titles << dialog->typeSelector()->itemText(i);
    EXPECT_EQ(titles, (QStringList { "Replace", "Insert", "Prefix", "Suffix", "Set", "Numbering", "Trim", "Conversion",
                          "Regular Expression", "Select" }));
    select(addRule(TransformerType::trim));
    EXPECT_EQ(dialog->typeSelector()->currentIndex(), 6);
}

TEST_F(RuleEditor, typingGivesOneDelayedSaveAndOnePreview)
{
    const QString id = addRule(TransformerType::simple);
    select(id);
    TestEnvironment::drainEvents();
    ASSERT_EQ(dialog->currentTransformerId(), id);
    NotificationRecorder recorder({ NotificationName::transformButtonSave, NotificationName::applyChanges });

    QTest::keyClicks(editor(0)->textField()->tokenTextFieldEditor(), QStringLiteral("new"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return clock.sleeperCount() == 1; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.transformer(id)->properties.simpleReplaceText, std::nullopt) << "not saved before the pause";
    clock.advance(700ms);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::applyChanges) >= 1; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 1);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);
    EXPECT_EQ(transformers.transformer(id)->properties.simpleReplaceText, TokenString::string(QStringLiteral("new")));
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Update Rename Action"));

    undoManager.undo();
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.transformer(id)->properties.simpleReplaceText, std::nullopt);
    EXPECT_EQ(editor(0)->textField()->tokenString(), TokenString()) << "the editor shows the undone rule again";
}

TEST_F(RuleEditor, selectingAnotherRuleSavesTheShownOneFirst)
{
    const QString a = addRule(TransformerType::prefix);
    const QString b = addRule(TransformerType::suffix);
    select(a);
    editor(2)->textField()->setStringValue(QStringLiteral("A-"));
    select(b);
    EXPECT_EQ(transformers.transformer(a)->properties.prefixText, TokenString::string(QStringLiteral("A-")));
    EXPECT_EQ(undoManager.undoCount(), 1);
    EXPECT_EQ(dialog->typeSelector()->currentText(), QStringLiteral("Suffix"));
    EXPECT_EQ(editor(2)->textField()->tokenString(), TokenString()) << "B's load clears A's value";
}

TEST_F(RuleEditor, aRuleListUpdateSavesPendingEditsOfTheShownRule)
{
    const QString id = addRule(TransformerType::prefix);
    select(id);
    editor(2)->textField()->setStringValue(QStringLiteral("typed"));
    // Another rule is added and removed again while the typing delay runs.
    select(id);
    EXPECT_EQ(transformers.transformer(id)->properties.prefixText, TokenString::string(QStringLiteral("typed")));
    EXPECT_EQ(editor(2)->textField()->stringValue(), QStringLiteral("typed"));

    // A value the list got elsewhere wins over the editor.
    Transformer changed = *transformers.transformer(id);
    changed.properties.prefixText = TokenString::string(QStringLiteral("elsewhere"));
    transformers.addOrReplaceTransformer(changed);
    select(id);
    EXPECT_EQ(transformers.transformer(id)->properties.prefixText, TokenString::string(QStringLiteral("elsewhere")));
    EXPECT_EQ(editor(2)->textField()->stringValue(), QStringLiteral("elsewhere"));
}

TEST_F(RuleEditor, changingTheKindIsOneUndoableStep)
{
    const QString id = addRule(TransformerType::prefix);
    select(id);
    dialog->typeSelector()->setCurrentIndex(3);
    dialog->typeSelectorChanged();
    EXPECT_EQ(transformers.transformer(id)->type, TransformerType::suffix);
    undoManager.undo();
    EXPECT_EQ(transformers.transformer(id)->type, TransformerType::prefix);
    TestEnvironment::drainEvents();
    EXPECT_EQ(dialog->typeSelector()->currentText(), QStringLiteral("Prefix"));
}

TEST_F(RuleEditor, aNewRuleIsFirstSavedWithoutUndo)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::simple;
    rule.properties = absentFlags();
    transformers.insert(rule, 0);
    select(rule.id);
    EXPECT_FALSE(transformers.transformer(rule.id)->needsInitialSave);
    EXPECT_EQ(transformers.transformer(rule.id)->properties.simpleWildcards, true);
    EXPECT_EQ(undoManager.undoCount(), 0);
    dialog->enabledSwitch()->setChecked(false);
    dialog->enabledSwitchClicked();
    EXPECT_TRUE(transformers.transformer(rule.id)->disabled);
    EXPECT_EQ(undoManager.undoCount(), 1);
}

TEST_F(RuleEditor, scopeChangesPostColumnNotices)
{
    const QString id = addRule(TransformerType::simple);
    select(id);
    NotificationRecorder recorder({ NotificationName::collapsePathColumns, NotificationName::uncollapsePathColumns });
    dialog->scopeSegmentedControl()->segment(0)->click(); // already selected
    dialog->scopeSegmentedControl()->segment(3)->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.transformer(id)->transformScope, TransformScope::fullPath);
    EXPECT_EQ(recorder.names(), QStringList { NotificationName::uncollapsePathColumns });
    dialog->scopeSegmentedControl()->segment(0)->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.names(), (QStringList { NotificationName::uncollapsePathColumns, NotificationName::collapsePathColumns }));
    EXPECT_EQ(undoManager.undoCount(), 2);
}

TEST_F(RuleEditor, aTokenFromThePanelGoesIntoTheShownRuleAndLeavesTheClipboardAlone)
{
    const QString id = addRule(TransformerType::insert);
    select(id);
    TestEnvironment::drainEvents();
    QApplication::clipboard()->setText(QStringLiteral("the user's text"));
    editor(1)->textField()->setStringValue(QStringLiteral("x-"));

    AppNotification::InsertToken::post(QStringLiteral("file-size"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return transformers.transformer(id)->properties.insertText.has_value();
    }));
    EXPECT_EQ(transformers.transformer(id)->properties.insertText, chipText());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's text"));
    EXPECT_EQ(QApplication::clipboard()->mimeData()->formats(), QStringList { QStringLiteral("text/plain") });
}

TEST_F(RuleEditor, theTokenChooserInsertsIntoTheShownRule)
{
    const QString id = addRule(TransformerType::insert);
    select(id);
    TestEnvironment::drainEvents();
    editor(1)->textField()->setStringValue(QStringLiteral("x-"));

    dialog->showTokenChooser(nullptr);
    TokenTextViewController* chooser = dialog->tokenTextViewController();
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return chooser->isVisible(); }));
    dialog->showTokenChooser(nullptr);
    EXPECT_EQ(dialog->tokenTextViewController(), chooser) << "one chooser, kept";
    EXPECT_EQ(chooser->targetTextField(), editor(1)->textField()) << "opened by the field its tokens go into";

    TokenTableView* table = chooser->tableView(0);
    for (int row = 0; row < table->data().size(); ++row)
        if (table->data().at(row)->tokenId() == QStringLiteral("file-size"))
            table->selectRow(row);
    QTest::keyClick(table, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return transformers.transformer(id)->properties.insertText.has_value();
    }));
    EXPECT_EQ(transformers.transformer(id)->properties.insertText, chipText());
    delete chooser;
}

TEST_F(RuleEditor, blockedInputDisablesTheControls)
{
    select(addRule(TransformerType::simple));
    NotificationCenter::defaultCenter().post({ NotificationName::disableUserInput });
    EXPECT_FALSE(dialog->typeSelector()->isEnabled());
    EXPECT_FALSE(editor(0)->findOptions()->segment(0)->isEnabled());
    EXPECT_FALSE(editor(1)->textField()->tokenTextFieldEditor()->isEnabled());
    NotificationCenter::defaultCenter().post({ NotificationName::enableUserInput });
    EXPECT_TRUE(editor(0)->textField()->tokenTextFieldEditor()->isEnabled());
}

} // namespace

TEST_F(RuleEditor, aPatternThatDoesNotCompileIsShownInItsFieldWithTheReason)
{
    struct Case {
        const char* name;
        TransformerType type;
        P properties;
        bool invalid;
    };
    P regex;
    regex.regexFindText = TokenString::string("([");
    P goodRegex;
    goodRegex.regexFindText = TokenString::string("(a+)");
    P prefixRegex;
    prefixRegex.prefixFindText = "[";
    prefixRegex.prefixFindRegex = true;
    prefixRegex.prefixFindWildcards = false;
    P prefixWildcards = prefixRegex;
    prefixWildcards.prefixFindRegex = false;
    prefixWildcards.prefixFindWildcards = true;
    const Case cases[] = {
        { "regular expression \"([\"", TransformerType::regex, regex, true },
        { "regular expression \"(a+)\"", TransformerType::regex, goodRegex, false },
        { "prefix, regular expression \"[\"", TransformerType::prefix, prefixRegex, true },
        { "prefix, wildcards \"[\"", TransformerType::prefix, prefixWildcards, false },
    };
    for (const Case& c : cases) {
        select(addRule(c.type, c.properties));
        QWidget* field = dialog->currentTransformerView()->patternField();
        ASSERT_NE(field, nullptr) << c.name;
        EXPECT_EQ(dialog->ruleErrorLabel()->isVisibleTo(dialog.get()), c.invalid) << c.name;
        EXPECT_EQ(field->accessibleDescription().startsWith("Invalid: "), c.invalid) << c.name;
        if (c.invalid) {
            EXPECT_TRUE(dialog->ruleErrorLabel()->text().contains("regular expression", Qt::CaseInsensitive)) << c.name;
            EXPECT_NE(field->palette().color(QPalette::Base), dialog->palette().color(QPalette::Base)) << c.name;
        }
    }

    // Mended, the rule shows no error any more.
    const QString id = addRule(TransformerType::regex, regex);
    select(id);
    ASSERT_TRUE(dialog->ruleErrorLabel()->isVisibleTo(dialog.get()));
    auto* field = dynamic_cast<TransformDialogTextField*>(dialog->currentTransformerView()->patternField());
    ASSERT_NE(field, nullptr);
    field->setStringValue("(\\[)");
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonSave });
    EXPECT_FALSE(dialog->ruleErrorLabel()->isVisibleTo(dialog.get()));
    EXPECT_EQ(field->accessibleDescription(), QString());
    EXPECT_EQ(field->palette().color(QPalette::Base), dialog->palette().color(QPalette::Base));
}

TEST(FindOptionsHelp, theWildcardsToolTipSaysWhatTheMatcherDoes)
{
    SimpleTransformerViewController simple;
    const QString tip = simple.findOptions()->segment(0)->toolTip();
    EXPECT_EQ(tip, FindOptions::wildcardsToolTip());
    EXPECT_FALSE(tip.contains("? one character")) << "? is no wildcard";
    // Each claim of the tip, tried on the matcher itself.
    struct Case {
        const char* claim;
        QString find;
        QString text;
        bool matches;
    };
    const Case cases[] = {
        { "* any text", "IMG*", "IMG_2024 holiday", true },
        { "# a number", "IMG_#", "IMG_123", true },
        { "# needs a digit", "IMG_#", "IMG_abc", false },
        { "? stands for itself", "a?c", "abc", false },
        { "? stands for itself", "a?c", "a?c", true },
    };
    ASSERT_TRUE(tip.contains("* any text") && tip.contains("# a number") && tip.contains("? included, stands for itself"));
    for (const Case& c : cases) {
        const FindParameters parameters(c.find, true);
        const bool found = !String::ranges(c.text, parameters.pattern(), CompareOption::regularExpression).isEmpty();
        EXPECT_EQ(found, c.matches) << c.claim << ": " << c.find.toStdString() << " in " << c.text.toStdString();
    }
}
