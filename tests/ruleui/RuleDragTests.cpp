// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleBarFixture.h"

#include "NotificationRecorder.h"
#include "core/AppNotification.h"
#include "platform/Clock.h"

#include "rules/Transformer.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/RemovalAnimation.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QMimeData>

#include <QTest>

namespace {

// The drag logic, driven through the delegate as a real drag would call it.
class RuleDrag : public RuleBarFixture {
protected:
    void SetUp() override
    {
        RuleBarFixture::SetUp();
        addRules({ TransformerType::simple, TransformerType::insert, TransformerType::prefix, TransformerType::suffix });
        original = ids();
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    }
    void beginDrag(int index)
    {
        transformers.selectTransformerAt(index);
        ASSERT_TRUE(delegate->canDragItemsAt(view(), { index }));
        delegate->willBeginAt(view(), { index });
    }
    QPoint insideBar() const { return view()->mapToGlobal(view()->rect().center()); }
    QPoint farOutside() const { return view()->mapToGlobal(view()->rect().bottomRight() + QPoint(300, 300)); }
    QPoint withinMargin() const { return view()->mapToGlobal(view()->rect().bottomRight() + QPoint(50, 50)); }

    QStringList original;
};

TEST_F(RuleDrag, onlyTheCurrentRuleCanBeDragged)
{
    transformers.selectTransformerAt(1);
    EXPECT_FALSE(delegate->canDragItemsAt(view(), { 2 }));
    EXPECT_TRUE(delegate->canDragItemsAt(view(), { 1 }));
    EXPECT_FALSE(delegate->canDragItemsAt(view(), { 4 })) << "the Add button";
    transformers.selectTransformer(std::nullopt);
    EXPECT_FALSE(delegate->canDragItemsAt(view(), { 1 }));
}

TEST_F(RuleDrag, liveReorderThenDropIsOneUndoableMove)
{
    NotificationRecorder recorder({ NotificationName::transformButtonUpdated, NotificationName::applyChanges });
    beginDrag(0);
    delegate->validateDrop(view(), 1);
    EXPECT_EQ(ids(), (QStringList { original[1], original[0], original[2], original[3] })) << "moved live";
    delegate->validateDrop(view(), 1); // the same place again: no second move
    delegate->validateDrop(view(), 2);
    EXPECT_EQ(ids(), (QStringList { original[1], original[2], original[0], original[3] }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0) << "live moves announce nothing";
    EXPECT_EQ(undoManager.undoCount(), 0);

    EXPECT_TRUE(delegate->acceptDrop(view(), 2));
    delegate->endedAt(view(), insideBar());
    TestEnvironment::drainEvents();
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Move Rename Action"));
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1) << "the preview runs for the new order";
    EXPECT_EQ(transformers.currentTransformerId(), original[0]);

    undoManager.undo();
    EXPECT_EQ(ids(), original);
    undoManager.redo();
    EXPECT_EQ(ids(), (QStringList { original[1], original[2], original[0], original[3] }));
    EXPECT_FALSE(delegate->initialDragIndexPath() || delegate->dragIndexPath() || delegate->dragTransformerId()
        || delegate->lastValidatedDragPath());
}

struct EndCase {
    const char* name;
    int dropOn; // -1: no drop on the bar
    bool farAway;
};

TEST_F(RuleDrag, aDragThatIsNotDroppedOnARulePutsTheOrderBack)
{
    const QList<EndCase> cases = {
        { "dropped on Add", 4, false },
        { "cancelled inside the margin", -1, false },
    };
    for (const EndCase& c : cases) {
        NotificationRecorder recorder({ NotificationName::applyChanges });
        beginDrag(1);
        delegate->validateDrop(view(), 3);
        ASSERT_NE(ids(), original);
        if (c.dropOn >= 0)
            EXPECT_FALSE(delegate->acceptDrop(view(), c.dropOn)) << c.name;
        delegate->endedAt(view(), c.farAway ? farOutside() : withinMargin());
        TestEnvironment::drainEvents();
        EXPECT_EQ(ids(), original) << c.name;
        EXPECT_EQ(undoManager.undoCount(), 0) << c.name;
        EXPECT_EQ(transformers.currentTransformerId(), original[1]) << c.name;
        // Bar and preview agree with the list again.
        EXPECT_EQ(view()->item(1)->transformer()->id, original[1]) << c.name;
        EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1) << c.name;
    }
}

TEST_F(RuleDrag, droppedFarOutsideDeletesTheRuleFromItsOwnPlace)
{
    ManualClock clock;
    delegate->setClock(clock);
    clock.advance(std::chrono::seconds(1));
    view()->reloadData();
    ASSERT_EQ(view()->numberOfItems(), 5) << "the four rules and Add";
    beginDrag(1);
    delegate->validateDrop(view(), 3);
    delegate->endedAt(view(), farOutside());
    // The removal is seen where the button was dropped, and goes.
    const auto animation = [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String(RemovalAnimation::OBJECT_NAME) && top->isVisible())
                return top;
        return static_cast<QWidget*>(nullptr);
    };
    QWidget* shown = animation();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->geometry().contains(farOutside()));
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return animation() == nullptr; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(ids(), (QStringList { original[0], original[2], original[3] }));
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Delete Insert Action"));
    undoManager.undo();
    EXPECT_EQ(ids(), original) << "undo puts it back where the drag began";
}

// The bar animates a change only when its last add, delete or move was more
// than 0.3 s earlier; a quick second removal just goes.
TEST_F(RuleDrag, theRemovalAnimatesOnlyAfterAQuietThirdOfASecond)
{
    using namespace std::chrono_literals;
    ManualClock clock;
    delegate->setClock(clock);
    const auto animationShown = [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String(RemovalAnimation::OBJECT_NAME) && top->isVisible())
                return true;
        return false;
    };
    const struct {
        const char* name;
        bool addFirst;
        std::chrono::milliseconds quiet;
        bool animates;
    } steps[] = {
        { "after a quiet start", false, 301ms, true },
        { "exactly 0.3 s after the last", false, 300ms, false },
        { "0.301 s after the last", false, 301ms, true },
        { "soon after an add", true, 100ms, false },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.addFirst)
            delegate->addNewButtonWithUndo(view());
        clock.advance(step.quiet);
        TestEnvironment::drainEvents();
        view()->reloadData();
        const qsizetype before = transformers.count();
        beginDrag(0);
        delegate->endedAt(view(), farOutside());
        EXPECT_EQ(transformers.count(), before - 1) << "removed either way";
        EXPECT_EQ(animationShown(), step.animates);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !animationShown(); }));
    }
}

// While a rule is dragged the window answers for the bar's margin: a move
// there, refused beyond it, where the pointer shows the removal sign.
TEST_F(RuleDrag, theWindowAcceptsTheDragOnlyWithinTheKeepMargin)
{
    QWidget* window = view()->window();
    QMimeData rule;
    rule.setData(Transformer::pasteboardType, QByteArray("x"));
    QMimeData other;
    other.setText(QStringLiteral("text"));
    struct Case {
        const char* name;
        QPoint global;
        const QMimeData* data;
        bool taken;
        bool accepted;
    };
    const Case cases[] = {
        { "within the margin", withinMargin(), &rule, true, true },
        { "far outside", farOutside(), &rule, true, false },
        { "another kind of drag", withinMargin(), &other, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDragMoveEvent move(window->mapFromGlobal(c.global), Qt::MoveAction, c.data, Qt::LeftButton, Qt::NoModifier);
        move.ignore();
        EXPECT_EQ(view()->eventFilter(window, &move), c.taken);
        if (c.taken)
            EXPECT_EQ(move.isAccepted(), c.accepted);
    }
    // Where no window answers (beside the window, on another program) the
    // pointer shows the removal sign only where a drop deletes.
    QDrag drag(view());
    const QPoint besideTheWindow = window->geometry().topRight() + QPoint(30, 0);
    ASSERT_TRUE(view()->isWithinKeepMargin(besideTheWindow)) << "the bar is at the window's top right in this fixture";
    const struct {
        const char* name;
        QPoint global;
        bool removalSign;
    } pointers[] = {
        { "far outside", farOutside(), true },
        { "beside the window, within the margin", besideTheWindow, false },
        { "far outside again", farOutside(), true },
        { "on the bar", insideBar(), false },
    };
    for (const auto& p : pointers) {
        view()->followPointer(&drag, p.global);
        EXPECT_EQ(!drag.dragCursor(Qt::IgnoreAction).isNull(), p.removalSign) << p.name;
    }

    const QImage sign = ButtonCollectionView::removalCursor().toImage();
    int ink = 0;
    for (int y = 0; y < sign.height(); ++y)
        for (int x = 0; x < sign.width(); ++x)
            ink += sign.pixelColor(x, y).alpha() > 200 ? 1 : 0;
    EXPECT_GT(ink, 40) << "the removal sign is drawn";
}

TEST_F(RuleDrag, noDragStateSurvivesIntoTheNextDrag)
{
    beginDrag(0);
    delegate->validateDrop(view(), 2);
    EXPECT_TRUE(delegate->acceptDrop(view(), 2));
    delegate->endedAt(view(), insideBar());
    const QStringList afterFirst = ids();
    EXPECT_EQ(afterFirst, (QStringList { original[1], original[2], original[0], original[3] }));

    // The second drag's first position equals the last one of the first drag.
    beginDrag(1);
    delegate->validateDrop(view(), 2);
    EXPECT_EQ(ids(), (QStringList { afterFirst[0], afterFirst[2], afterFirst[1], afterFirst[3] })) << "moved live, not blocked";
    EXPECT_TRUE(delegate->acceptDrop(view(), 2));
    delegate->endedAt(view(), insideBar());
    TestEnvironment::drainEvents();
    EXPECT_EQ(undoManager.undoCount(), 2);
    undoManager.undo();
    EXPECT_EQ(ids(), afterFirst);
    undoManager.undo();
    EXPECT_EQ(ids(), original);
}

TEST_F(RuleDrag, aButtonReturnedToItsPlaceRegistersNothing)
{
    beginDrag(1);
    delegate->validateDrop(view(), 2);
    delegate->validateDrop(view(), 1);
    EXPECT_EQ(ids(), original);
    EXPECT_TRUE(delegate->acceptDrop(view(), 1));
    delegate->endedAt(view(), insideBar());
    EXPECT_EQ(undoManager.undoCount(), 0);
    EXPECT_EQ(ids(), original);
}

TEST_F(RuleDrag, theDraggedRuleIsNotSelectedAgainWhileDragging)
{
    beginDrag(2);
    transformers.selectTransformerAt(0);
    delegate->didSelectItemsAt(view(), { 2 });
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.currentTransformerId(), original[0]);
    delegate->endedAt(view(), insideBar());
}

} // namespace
