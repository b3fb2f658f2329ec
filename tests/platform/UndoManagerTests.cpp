// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/UndoManager.h"

#include <gtest/gtest.h>

TEST(UndoManager, GroupsUndoInReverseOrderAndHandlersRegisterTheRedo)
{
    UndoManager undo;
    QStringList log;
    std::function<void(QString)> step;
    step = [&](QString name) {
        undo.registerUndo([&, name] {
            log << "undo " + name;
            step(name);
        });
    };
    undo.beginUndoGrouping();
    undo.setActionName("Both");
    step("a");
    step("b");
    undo.endUndoGrouping();
    ASSERT_TRUE(undo.canUndo());
    EXPECT_EQ(undo.undoActionName(), "Both");

    undo.undo();
    EXPECT_EQ(log, (QStringList { "undo b", "undo a" }));
    EXPECT_FALSE(undo.canUndo());
    ASSERT_TRUE(undo.canRedo());
    EXPECT_EQ(undo.redoActionName(), "Both");

    undo.redo();
    EXPECT_EQ(log.size(), 4);
    EXPECT_TRUE(undo.canUndo());
    EXPECT_EQ(undo.undoActionName(), "Both");
}

TEST(UndoManager, ANewStepClearsRedoButARedoKeepsTheRest)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    int value = 0;
    std::function<void(int, int)> set;
    set = [&](int from, int to) {
        value = to;
        undo.registerUndo([&, from, to] { set(to, from); });
    };
    set(0, 1);
    set(1, 2);
    undo.undo();
    undo.undo();
    EXPECT_EQ(value, 0);
    EXPECT_EQ(undo.redoCount(), 2);
    undo.redo();
    EXPECT_EQ(value, 1);
    EXPECT_EQ(undo.redoCount(), 1);
    set(1, 5);
    EXPECT_EQ(undo.redoCount(), 0);
    undo.undo();
    EXPECT_EQ(value, 1);
}

TEST(UndoManager, EmptyGroupLeavesNoStep)
{
    UndoManager undo;
    undo.beginUndoGrouping();
    undo.setActionName("Nothing");
    undo.endUndoGrouping();
    EXPECT_FALSE(undo.canUndo());
}

// Dropping the steps of one object leaves the others; a step that a kept or
// dropped step registers while undone or redone concerns the same objects.
TEST(UndoManager, StepsOfOneTargetAreDroppedAndTheRestKept)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    const int list = 0;
    const int rules = 0;
    QStringList log;
    std::function<void(QString)> step;
    step = [&](QString name) {
        undo.registerUndo([&, name] {
            log << name;
            step(name);
        });
    };
    const auto stepOf = [&](const void* target, const QString& name) {
        const UndoManager::TargetScope scope(&undo, target);
        undo.beginUndoGrouping();
        undo.setActionName(name);
        step(name);
        undo.endUndoGrouping();
    };
    stepOf(&rules, "rule 1");
    stepOf(&list, "list 1");
    stepOf(&rules, "rule 2");
    stepOf(&list, "list 2");
    undo.undo(); // list 2 goes to the redo stack, registered again by its handler
    ASSERT_EQ(undo.redoActionName(), "list 2");
    undo.undo(); // rule 2
    undo.redo(); // rule 2 again
    step("untargeted");
    ASSERT_EQ(undo.undoCount(), 4);

    undo.removeAllActions(&list);
    EXPECT_EQ(undo.undoCount(), 3);
    EXPECT_FALSE(undo.canRedo());
    log.clear();
    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(log, (QStringList { "untargeted", "rule 2", "rule 1" }));
    undo.removeAllActions(&rules);
    EXPECT_EQ(undo.redoCount(), 1) << "only the untargeted step is left to redo";
}
