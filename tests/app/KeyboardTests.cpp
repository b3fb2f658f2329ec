// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/OpenFolderEventHandler.h"
#include "core/AppNotification+Typed.h"
#include "engine/TransformationEventHandler.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/FindTextTransformerViewController.h"
#include "ruleui/SegmentedControl.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/ViewTree.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QComboBox>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QStyleHints>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTest>
#include <QUrl>

// The window worked from the keyboard: where the focus goes, and which keys
// may start a rename.
class KeyboardTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
        ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
        dialog = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
        ASSERT_TRUE(transformers && ruleBar && dialog);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Transformer rule = Transformer::newTransformer();
        rule.type = TransformerType::simple;
        transformers->load({ rule });
        transformers->selectTransformerAt(0);
        TestEnvironment::drainEvents();
    }

    QAction* menuItem(const QString& selector, const QString& kind = {})
    {
        for (QAction* action : window->menuBar()->findChildren<QAction*>())
            if (action->property(MainMenu::SELECTOR_PROPERTY).toString() == selector
                && action->property(MainMenu::RULE_KIND_PROPERTY).toString() == kind)
                return action;
        return nullptr;
    }

    FindTextTransformerViewController* shownFindTextEditor() const
    {
        return dynamic_cast<FindTextTransformerViewController*>(dialog->currentTransformerView());
    }

    std::shared_ptr<Transformers> transformers;
    std::shared_ptr<TransformViewController> ruleBar;
    std::shared_ptr<TransformViewDialogController> dialog;
};

TEST_F(KeyboardTest, AddedRuleTakesTheFocusInItsFirstField)
{
    struct Case {
        QString kind;
        QString firstField;
    };
    const Case cases[] = { { "simple", "Find" }, { "insert", "Find" }, { "prefix", "Find" } };
    for (const Case& c : cases) {
        ruleBar->renameButton()->setFocus(Qt::OtherFocusReason);
        QAction* add = menuItem("addRenameAction:", c.kind);
        ASSERT_NE(add, nullptr);
        window->validateMenuItems();
        add->trigger();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return QApplication::focusWidget() != ruleBar->renameButton(); }));
        TestEnvironment::drainEvents();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << c.kind.toStdString();
        EXPECT_EQ(focus->accessibleName().toStdString(), c.firstField.toStdString())
            << c.kind.toStdString() << " " << focus->metaObject()->className();
        EXPECT_TRUE(dialog->isAncestorOf(focus)) << c.kind.toStdString();
    }
}

TEST_F(KeyboardTest, OnlyReturnOrEnterOnTheFocusedRenameButtonOrAClickRenames)
{
    QPushButton* rename = ruleBar->renameButton();
    rename->setEnabled(true);
    // Each key is a new intention: the interval after each run passes by hand.
    ManualClock clock;
    ruleBar->setClock(&clock);
    const auto restoreClock = qScopeGuard([&] { ruleBar->setClock(nullptr); });
    const auto afterTheRun = std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    const auto handler = DependencyInjectionRegistry::get<TransformationEventHandler>("test", "test", 0);
    ASSERT_TRUE(handler);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool renames;
    };
    const Case cases[] = {
        { Qt::Key_Space, Qt::NoModifier, false },
        { Qt::Key_Select, Qt::NoModifier, false },
        { Qt::Key_A, Qt::NoModifier, false },
        { Qt::Key_Escape, Qt::NoModifier, false },
        { Qt::Key_Return, Qt::NoModifier, true },
        { Qt::Key_Enter, Qt::KeypadModifier, true },
    };
    for (const Case& c : cases) {
        NotificationRecorder recorder({ NotificationName::commitChanges });
        rename->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(rename->hasFocus()) << c.key << " enabled " << rename->isEnabled() << " visible " << rename->isVisible();
        QTest::keyClick(rename, c.key, c.modifiers);
        TestEnvironment::drainEvents();
        EXPECT_EQ(recorder.received.size(), c.renames ? 1u : 0u) << c.key;
        // The run a rename started ends before the next key.
        ASSERT_TRUE(settleBackgroundWork());
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            const TaskHandle& run = handler->transformationTask();
            return !run.isValid() || run.isFinished();
        }));
        TestEnvironment::drainEvents();
        clock.advance(afterTheRun);
        rename->setEnabled(true);
    }
    NotificationRecorder recorder({ NotificationName::commitChanges });
    QTest::mouseClick(rename, Qt::LeftButton);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.received.size(), 1u) << "a click renames";
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] {
        const TaskHandle& run = handler->transformationTask();
        return !run.isValid() || run.isFinished();
    }));
    TestEnvironment::drainEvents();
}

TEST_F(KeyboardTest, ReturnInARuleFieldNeverRenames)
{
    ruleBar->renameButton()->setEnabled(true);
    NotificationRecorder recorder({ NotificationName::commitChanges });
    for (int kind = 0; kind < dialog->transformerViews().size(); ++kind) {
        dialog->typeSelector()->setCurrentIndex(kind);
        dialog->typeSelectorChanged();
        TestEnvironment::drainEvents();
        for (QWidget* control : ViewTree::tabStops(dialog.get())) {
            control->setFocus(Qt::TabFocusReason);
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : control;
            for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter })
                QTest::keyClick(target, key);
            // A popup the key opened (a combo box's list) closes again.
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        }
    }
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.received.size(), 0u);
}

TEST_F(KeyboardTest, ClosingTheTokenPanelGivesTheFocusBack)
{
    FindTextTransformerViewController* editor = shownFindTextEditor();
    ASSERT_NE(editor, nullptr);
    QPushButton* plus = editor->addAttributeButton();
    plus->setFocus(Qt::TabFocusReason);
    QTest::keyClick(plus, Qt::Key_Space);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->window() == window.get() && !dialog->isAncestorOf(focus);
    })) << "the panel takes the focus";
    QWidget* inPanel = QApplication::focusWidget();
    // The panel's close button, pressed with Space.
    QAbstractButton* close = nullptr;
    for (QWidget* w = inPanel->parentWidget(); w && !close; w = w->parentWidget())
        for (QAbstractButton* button : w->findChildren<QAbstractButton*>())
            if (button->accessibleName() == "Close")
                close = button;
    ASSERT_NE(close, nullptr);
    close->setFocus(Qt::TabFocusReason);
    QTest::keyClick(close, Qt::Key_Space);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return QApplication::focusWidget() == plus; }))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
}

TEST_F(KeyboardTest, TabReachesEveryControlInReadingOrderAndLeavesTheTable)
{
    OpenFolderEventHandler handler;
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder({ "a.txt", "b.txt" })) }, false, FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return dataSource->count() == 2 && !handler.openFilesTask().isValid(); }));
    TestEnvironment::drainEvents();
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    QWidget* tableView = table->view()->findChild<QTableView*>();
    ASSERT_NE(tableView, nullptr);

    const auto walk = [&](QWidget* from, Qt::Key key, int steps) {
        QStringList names;
        from->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < steps; ++i) {
            QWidget* focus = QApplication::focusWidget();
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(focus);
            const QString name = focus->accessibleName().isEmpty() ? accessible->text(QAccessible::Name) : focus->accessibleName();
            names << (focus == tableView ? QStringLiteral("<table>") : name);
            QTest::keyClick(focus, key);
            // Token fields move the focus after their key event.
            TestEnvironment::drainEvents();
        }
        return names;
    };
    // Rename stays enabled once the list's validation has come in.
    ASSERT_TRUE(settleBackgroundWork());
    TestEnvironment::drainEvents();
    ruleBar->renameButton()->setEnabled(true);
    const QStringList forward = walk(ruleBar->buttonViewController()->collectionView(), Qt::Key_Tab, 16);
    // The scopes are one group of radio buttons: Tab stops at the chosen one, arrows move within.
    const QStringList expected { "Rename actions", "Rename", "Kind", "Enabled", "Description", "Filename",
        "Find", "Wildcards", "Case", "First", "Replace", "Insert Token", "<table>" };
    EXPECT_EQ(forward.mid(0, expected.size()).join(" > ").toStdString(), expected.join(" > ").toStdString());
    SegmentedControl* scope = dialog->scopeSegmentedControl();
    scope->segment(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(scope->segment(0), Qt::Key_Right);
    TestEnvironment::drainEvents();
    EXPECT_EQ(QApplication::focusWidget(), scope->segment(1));
    EXPECT_EQ(scope->selectedSegment(), 1) << "an arrow chooses the next scope, as in any radio group";

    // Tab and Shift+Tab leave the table instead of moving between its cells.
    tableView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tableView, Qt::Key_Tab);
    TestEnvironment::drainEvents();
    EXPECT_NE(QApplication::focusWidget(), tableView);
    const QStringList backward = walk(tableView, Qt::Key_Backtab, 3);
    EXPECT_EQ(backward.join(" > ").toStdString(), "<table> > Insert Token > Replace");
}

TEST_F(KeyboardTest, TabGoesThroughEveryEditorInReadingOrder)
{
    for (int kind = 0; kind < dialog->transformerViews().size(); ++kind) {
        dialog->typeSelector()->setCurrentIndex(kind);
        dialog->typeSelectorChanged();
        TestEnvironment::drainEvents();
        QWidget* editor = dialog->transformerViews().at(kind)->viewController();
        const QString name = dialog->typeSelector()->itemText(kind);
        const qsizetype stops = ViewTree::tabStops(editor).size();
        ASSERT_GT(stops, 0) << name.toStdString();
        QWidget* lastScope = dialog->scopeSegmentedControl()->segment(dialog->scopeSegmentedControl()->segmentCount() - 1);
        lastScope->setFocus(Qt::TabFocusReason);
        QRect previous;
        for (qsizetype i = 0; i < stops; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            TestEnvironment::drainEvents();
            QWidget* focus = QApplication::focusWidget();
            ASSERT_TRUE(focus && editor->isAncestorOf(focus))
                << name.toStdString() << ": stop " << i << " is outside the editor";
            const QRect here(focus->mapTo(editor, QPoint(0, 0)), focus->size());
            // Reading order: the next stop starts lower, or on the same line further right.
            const bool sameLine = here.center().y() >= previous.top() && here.center().y() <= previous.bottom();
            EXPECT_TRUE(i == 0 || here.top() >= previous.bottom() || (sameLine && here.left() >= previous.right()))
                << name.toStdString() << ": " << focus->accessibleName().toStdString() << " comes after "
                << previous.x() << "," << previous.y();
            previous = here;
        }
    }
}

TEST_F(KeyboardTest, AnInvalidPatternMarksItsFieldAndEveryAffectedRow)
{
    OpenFolderEventHandler handler;
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder({ "a.txt", "b.txt" })) }, false, FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return dataSource->count() == 2 && !handler.openFilesTask().isValid(); }));
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::regex;
    rule.properties.regexFindText = TokenString::string("([");
    transformers->load({ rule });
    transformers->selectTransformerAt(0);
    ASSERT_TRUE(settleBackgroundWork());
    TestEnvironment::drainEvents();
    EXPECT_TRUE(dialog->ruleErrorLabel()->isVisible());
    for (const File& file : dataSource->getAllFiles()) {
        ASSERT_FALSE(file.validation.errors.isEmpty()) << file.source.fileInfo.name.toStdString();
        EXPECT_TRUE(file.validation.errors.cbegin()->contains("regular expression", Qt::CaseInsensitive));
    }
    EXPECT_FALSE(ruleBar->renameButton()->isEnabled());
}

TEST_F(KeyboardTest, TheTokenPanelInsertsWithReturnIntoTheFieldItWasOpenedFrom)
{
    FindTextTransformerViewController* editor = shownFindTextEditor();
    ASSERT_NE(editor, nullptr);
    editor->textField()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    TestEnvironment::drainEvents();
    ASSERT_EQ(QApplication::focusWidget(), editor->addAttributeButton());
    QTest::keyClick(editor->addAttributeButton(), Qt::Key_Space);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->accessibleName() == "Search tokens";
    }));
    QTest::keyClicks(QApplication::focusWidget(), "date modified");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    TestEnvironment::drainEvents();
    ASSERT_EQ(QApplication::focusWidget()->accessibleName().toStdString(), "Tokens");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !editor->textField()->tokenString().isEmpty(); }));
    const TokenString text = editor->textField()->tokenString();
    ASSERT_EQ(text.count(), 1);
    EXPECT_EQ(text.items().first().type, TokenType::ATTRIBUTE);
}
