// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/UndoManager+perform.h"
#include "core/UndoableActionManager.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"

#include <QTimer>

#include <gtest/gtest.h>

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override { MainWindowLocator::setUndoManager(&undoManager); }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
    }
    UndoManager undoManager;
    QStringList ran;
    UndoManagerHelpers::Action record(const QString& name)
    {
        return [this, name] { ran << name; };
    }
};

TEST_F(UndoTest, PerformThenUndoRedoAlternate)
{
    UndoManagerHelpers::perform("Add Rename Action", record("a"), record("b"));
    EXPECT_EQ(ran, QStringList { "a" });
    EXPECT_EQ(undoManager.undoActionName(), "Add Rename Action");
    undoManager.undo();
    undoManager.redo();
    undoManager.undo();
    EXPECT_EQ(ran, (QStringList { "a", "b", "a", "b" }));
    EXPECT_EQ(undoManager.redoActionName(), "Add Rename Action");
}

TEST_F(UndoTest, EveryRedoRunsTheDistinctRedoAction)
{
    UndoManagerHelpers::perform("Move", record("a"), record("b"), record("c"));
    undoManager.undo();
    undoManager.redo();
    undoManager.undo();
    undoManager.redo();
    EXPECT_EQ(ran, (QStringList { "a", "b", "c", "b", "c" }));
}

TEST_F(UndoTest, PerformFromInsideAnUndoJoinsTheRedoStep)
{
    UndoManagerHelpers::perform("Outer", record("outer"), [this] {
        ran << "outer undo";
        UndoManagerHelpers::perform("Inner", record("inner"), record("inner undo"));
    });
    undoManager.undo();
    EXPECT_EQ(ran, (QStringList { "outer", "outer undo", "inner" }));
    EXPECT_EQ(undoManager.redoCount(), 1);
    EXPECT_EQ(undoManager.redoActionName(), "Outer");
    undoManager.redo();
    EXPECT_EQ(ran.mid(3), (QStringList { "inner undo", "outer" }));
}

TEST_F(UndoTest, WithoutAnUndoManagerTheChangeStillHappens)
{
    MainWindowLocator::setUndoManager(nullptr);
    UndoManagerHelpers::perform("Clear", record("a"), record("b"));
    EXPECT_EQ(ran, QStringList { "a" });
    EXPECT_FALSE(undoManager.canUndo());
}

TEST_F(UndoTest, StateNamesWhatTheManagerIsDoing)
{
    UndoManagerState seen = UndoManagerState::newState;
    UndoManagerHelpers::perform("S", [] {}, [&] { seen = UndoManagerHelpers::state(undoManager); });
    EXPECT_EQ(UndoManagerHelpers::state(undoManager), UndoManagerState::newState);
    undoManager.undo();
    EXPECT_EQ(seen, UndoManagerState::undoing);
}

namespace {
// An action that finishes later, after the event loop has run a while.
UndoableActionManager::AsyncAction later(QStringList& log, const QString& name)
{
    return [&log, name](std::function<void()> done) {
        log << name + " start";
        QTimer::singleShot(30, [&log, name, done] {
            log << name + " end";
            done();
        });
    };
}
}

TEST_F(UndoTest, ActionManagerFirstPerformStartsTheStreamThenLogsTheStep)
{
    LogCapture capture;
    UndoableActionManager manager;
    bool completed = false;
    manager.perform("New Document", UndoableActionManager::fromSync(record("do")),
        UndoableActionManager::fromSync(record("undo")), std::nullopt, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(ran, QStringList { "do" });
    const int init = capture.indexOf("💫 Initializing Action Stream");
    const int created = capture.indexOf("💫 New: (1) \"New Document\" doAction 2 \"New Document\" undoAction 3 \"New Document\"");
    ASSERT_GE(init, 0);
    EXPECT_GT(created, init);
    EXPECT_EQ(undoManager.undoActionName(), "New Document");
}

TEST_F(UndoTest, ActionManagerDiscardsUndoneStepsOnANewPerform)
{
    UndoableActionManager manager;
    manager.perform("A", UndoableActionManager::fromSync(record("A")), UndoableActionManager::fromSync(record("undo A")));
    undoManager.undo();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return ran.contains("undo A"); }));
    EXPECT_EQ(manager.currentHistoryIndex(), -1);
    LogCapture capture;
    manager.perform("B", UndoableActionManager::fromSync(record("B")), UndoableActionManager::fromSync(record("undo B")));
    EXPECT_TRUE(capture.contains(
        "💫 Discard: (0) Removing last 1 undo actions [currentHistoryIndex: -1, undoHistoryCount: 1]"));
    ASSERT_EQ(manager.historyCount(), 1);
    EXPECT_EQ(manager.historyActionName(0), "B");
    EXPECT_EQ(manager.currentHistoryIndex(), 0);
}

TEST_F(UndoTest, ActionManagerRedoRunsTheRedoActionEveryTime)
{
    UndoableActionManager manager;
    manager.perform("R", UndoableActionManager::fromSync(record("do")), UndoableActionManager::fromSync(record("undo")),
        UndoableActionManager::fromSync(record("redo")));
    for (int i = 0; i < 2; ++i) {
        undoManager.undo();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return ran.size() == 2 + 2 * i; }));
        undoManager.redo();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return ran.size() == 3 + 2 * i; }));
    }
    EXPECT_EQ(ran, (QStringList { "do", "undo", "redo", "undo", "redo" }));
    EXPECT_EQ(manager.currentHistoryIndex(), 0);
}

TEST_F(UndoTest, ActionManagerQuickRedoWaitsForTheUndoToFinish)
{
    UndoableActionManager manager;
    QStringList log;
    manager.perform("Slow", later(log, "do"), later(log, "undo"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return log.contains("do end"); }));
    log.clear();
    undoManager.undo();
    undoManager.redo();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return log.size() == 4; }));
    EXPECT_EQ(log, (QStringList { "undo start", "undo end", "do start", "do end" }));
}
