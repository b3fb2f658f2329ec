// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleBarFixture.h"

#include "NotificationRecorder.h"
#include "core/AppNotification.h"
#include "ruleui/ButtonCollectionViewItem.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

namespace {

using RuleBarEdits = RuleBarFixture;

TEST_F(RuleBarEdits, addToAnEmptyListUndoAndRedo)
{
    bar->addRenameAction();
    TestEnvironment::drainEvents();
    ASSERT_EQ(transformers.count(), 1);
    const QString id = transformers.list().first().id;
    EXPECT_EQ(transformers.currentTransformerId(), id);
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Add Rename Action"));
    EXPECT_EQ(view()->numberOfItems(), 2);
    EXPECT_EQ(view()->selectionIndexes(), QList<int> { 0 });

    undoManager.undo();
    TestEnvironment::drainEvents();
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(view()->numberOfItems(), 1);
    EXPECT_EQ(undoManager.redoActionName(), QStringLiteral("Add Rename Action"));

    undoManager.redo();
    TestEnvironment::drainEvents();
    ASSERT_EQ(transformers.count(), 1);
    EXPECT_EQ(transformers.list().first().id, id) << "redo adds the same rule";
}

TEST_F(RuleBarEdits, deleteIsNamedByTheKindAndUndoPutsTheSameRuleBack)
{
    addRules({ TransformerType::prefix, TransformerType::simple, TransformerType::suffix });
    transformers.selectTransformerAt(1);
    Transformer second = transformers.list().at(1);
    second.description = QStringLiteral("keep me");
    transformers.addOrReplaceTransformer(second);
    const QStringList before = ids();

    bar->deleteRenameAction();
    TestEnvironment::drainEvents();
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Delete Replace Action"));
    EXPECT_EQ(ids(), (QStringList { before[0], before[2] }));
    EXPECT_EQ(transformers.currentTransformerId(), before[2]) << "the rule now at that place";

    undoManager.undo();
    TestEnvironment::drainEvents();
    EXPECT_EQ(ids(), before);
    EXPECT_EQ(transformers.currentTransformerId(), before[1]);
    EXPECT_EQ(transformers.list().at(1).description, QStringLiteral("keep me"));
    EXPECT_EQ(view()->selectionIndexes(), QList<int> { 1 });

    undoManager.redo();
    EXPECT_EQ(ids(), (QStringList { before[0], before[2] }));
}

TEST_F(RuleBarEdits, moveRightAndLeftAreUndoable)
{
    addRules({ TransformerType::simple, TransformerType::insert, TransformerType::prefix, TransformerType::suffix });
    const QStringList before = ids();
    transformers.selectTransformerAt(2);

    bar->moveRenameActionRight();
    TestEnvironment::drainEvents();
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Move Rename Action"));
    EXPECT_EQ(ids(), (QStringList { before[0], before[1], before[3], before[2] }));
    EXPECT_EQ(transformers.currentTransformerId(), before[2]);
    EXPECT_FALSE(bar->validateMenuItem(ButtonViewAction::moveRenameActionRight)) << "now last";

    undoManager.undo();
    EXPECT_EQ(ids(), before);
    EXPECT_EQ(transformers.currentTransformerId(), before[2]);
    undoManager.redo();
    EXPECT_EQ(ids(), (QStringList { before[0], before[1], before[3], before[2] }));

    transformers.selectTransformerAt(0);
    bar->moveRenameActionLeft();
    EXPECT_EQ(undoManager.undoCount(), 1) << "nothing left of the first rule";
}

TEST_F(RuleBarEdits, selectionCommands)
{
    addRules({ TransformerType::simple, TransformerType::insert, TransformerType::prefix });
    bar->selectTransformer(-1);
    EXPECT_EQ(transformers.currentTransformerId(), ids()[2]);
    bar->selectPrecedingTransformer();
    EXPECT_EQ(transformers.currentTransformerId(), ids()[1]);
    bar->selectNextTransformer();
    EXPECT_EQ(transformers.currentTransformerId(), ids()[2]);
    bar->selectTransformer(7);
    EXPECT_FALSE(transformers.currentTransformerId().has_value());
    EXPECT_TRUE(view()->selectionIndexes().isEmpty());
    bar->selectNextTransformer();
    EXPECT_EQ(transformers.currentTransformerId(), ids()[0]) << "no current rule: next is the first";

    // A click on a button selects its rule after the click has been handled.
    NotificationRecorder recorder({ NotificationName::transformButtonUpdated, NotificationName::applyChanges });
    delegate->didSelectItemsAt(view(), { 2 });
    EXPECT_EQ(transformers.currentTransformerId(), ids()[0]);
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.currentTransformerId(), ids()[2]);
    EXPECT_EQ(recorder.count(NotificationName::transformButtonUpdated), 1);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);
    EXPECT_EQ(view()->selectionIndexes(), QList<int> { 2 });
    EXPECT_TRUE(delegate->shouldSelectItemsAt(view(), { 3 }).isEmpty()) << "the Add button";
}

struct MenuCase {
    int rules;
    std::optional<int> current;
    ButtonViewAction action;
    int tag;
    bool enabled;
};

TEST_F(RuleBarEdits, menuValidation)
{
    const QList<MenuCase> cases = {
        { 0, {}, ButtonViewAction::addRenameAction, 0, true },
        { 0, {}, ButtonViewAction::deleteRenameAction, 0, false },
        { 0, {}, ButtonViewAction::clearRenamingActions, 0, false },
        { 0, {}, ButtonViewAction::selectTransformer, -1, true },
        { 0, {}, ButtonViewAction::selectNextTransformer, 0, false },
        { 2, {}, ButtonViewAction::selectNextTransformer, 0, true },
        { 2, {}, ButtonViewAction::selectPrecedingTransformer, 0, false },
        { 2, {}, ButtonViewAction::moveRenameActionRight, 0, false },
        { 3, 0, ButtonViewAction::moveRenameActionLeft, 0, false },
        { 3, 0, ButtonViewAction::moveRenameActionRight, 0, true },
        { 3, 2, ButtonViewAction::selectNextTransformer, 0, false },
        { 3, 2, ButtonViewAction::moveRenameActionLeft, 0, true },
        { 3, 2, ButtonViewAction::selectTransformer, 3, false },
    };
    for (const MenuCase& c : cases) {
        transformers.clear();
        addRules(QList<TransformerType>(c.rules, TransformerType::simple));
        if (c.current)
            transformers.selectTransformerAt(*c.current);
        else
            transformers.selectTransformer(std::nullopt);
        EXPECT_EQ(bar->validateMenuItem(c.action, c.tag), c.enabled) << int(c.action) << " rules " << c.rules;
    }
}

TEST_F(RuleBarEdits, blockedInputDisablesEveryCommandAndTheAddButton)
{
    addRules({ TransformerType::simple, TransformerType::insert });
    NotificationCenter::defaultCenter().post({ NotificationName::disableUserInput });
    EXPECT_FALSE(bar->validateMenuItem(ButtonViewAction::addRenameAction));
    EXPECT_FALSE(bar->validateMenuItem(ButtonViewAction::deleteRenameAction));
    emit view()->addRequested();
    bar->addRenameAction();
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.count(), 2);
    EXPECT_EQ(undoManager.undoCount(), 0);

    NotificationCenter::defaultCenter().post({ NotificationName::enableUserInput });
    emit view()->addRequested();
    EXPECT_EQ(transformers.count(), 3);
}

TEST_F(RuleBarEdits, buttonsShowTheRules)
{
    addRules({ TransformerType::simple, TransformerType::prefix });
    Transformer second = transformers.list().at(1);
    second.disabled = true;
    second.transformScope = TransformScope::ext;
    second.description = QStringLiteral("tip");
    transformers.addOrReplaceTransformer(second);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });

    ASSERT_EQ(view()->numberOfItems(), 3);
    ButtonCollectionViewItem* first = view()->item(0);
    ButtonCollectionViewItem* disabled = view()->item(1);
    ButtonCollectionViewItem* add = view()->item(2);
    EXPECT_EQ(first->style(), ButtonStyle::selectedEnabled);
    EXPECT_EQ(first->label(), QStringLiteral("Replace"));
    EXPECT_EQ(first->subLabel(), QStringLiteral("File"));
    EXPECT_EQ(disabled->style(), ButtonStyle::unselectedDisabled);
    EXPECT_EQ(disabled->subLabel(), QStringLiteral("Ext"));
    EXPECT_EQ(disabled->toolTip(), QStringLiteral("tip"));
    EXPECT_EQ(add->style(), ButtonStyle::add);
    EXPECT_EQ(add->label(), QStringLiteral("Add"));
    EXPECT_EQ(add->toolTip(), QStringLiteral("Add Rename Action"));
    add->setSelected(true);
    EXPECT_EQ(add->style(), ButtonStyle::add);
    EXPECT_EQ(add->subColor()->appearanceColor().alpha(), 0) << "a clear label keeps a clear sub label";
    EXPECT_NEAR(first->subColor()->alphaF(), 0.8, 0.01);

    transformers.selectTransformerAt(1);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });
    EXPECT_EQ(view()->item(1)->style(), ButtonStyle::selectedDisabled);
}

TEST_F(RuleBarEdits, updatesPostApplyChangesOnlyForRuleChanges)
{
    NotificationRecorder recorder({ NotificationName::applyChanges });
    NotificationCenter::defaultCenter().post({ NotificationName::updateButtonView });
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);
}

} // namespace

TEST_F(RuleBarEdits, hoveringAButtonShowsItsToolTip)
{
    addRules({ TransformerType::simple, TransformerType::prefix });
    Transformer described = transformers.list().at(1);
    described.description = QStringLiteral("Adds the shoot's date");
    transformers.addOrReplaceTransformer(described);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });
    bar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    ASSERT_EQ(view()->numberOfItems(), 3);

    struct Case {
        const char* name;
        int item;
        QString shown;
    };
    // Nothing shown first: a tip once shown fades out only after a while.
    const Case cases[] = {
        { "a rule without a description", 0, QString() },
        { "a rule with a description", 1, QStringLiteral("Adds the shoot's date") },
        { "the Add button", 2, QStringLiteral("Add Rename Action") },
    };
    for (const Case& c : cases) {
        const QPoint centre = view()->item(c.item)->geometry().center();
        QHelpEvent hover(QEvent::ToolTip, centre, view()->mapToGlobal(centre));
        QApplication::sendEvent(view(), &hover);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), c.shown) << c.name;
    }
    QToolTip::hideText();
}
