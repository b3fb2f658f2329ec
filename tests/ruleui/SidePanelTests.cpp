// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "ruleui/SidePanel.h"
#include "ruleui/SidePanelViewController.h"

#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

TEST(SidePanelCases, RawValues)
{
    EXPECT_EQ(SidePanels::fromRawValue(-1), SidePanel::none);
    EXPECT_EQ(SidePanels::fromRawValue(0), SidePanel::fileInspector);
    EXPECT_EQ(SidePanels::fromRawValue(1), SidePanel::lookupTable);
    EXPECT_EQ(SidePanels::fromRawValue(2), SidePanel::tokenAttributes);
    EXPECT_FALSE(SidePanels::fromRawValue(3));
    EXPECT_FALSE(SidePanels::fromRawValue(-2));
}

// The pane beside a main column with a text field, in a shown window; every
// panel is a plain widget named after its case.
class SidePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        duration = SidePanelViewController::animationDuration;
        SidePanelViewController::animationDuration = 0;
        window.resize(1000, 600);
        auto* main = new QWidget(&window);
        field = new QLineEdit(main);
        window.addWidget(main);
        window.addWidget(sidePanel.view());
        window.setCollapsible(0, false);
        window.setSizes({ 1000, 0 });
        for (SidePanel panel : { SidePanel::fileInspector, SidePanel::lookupTable, SidePanel::tokenAttributes }) {
            sidePanel.setPanelFactory(panel, [this, panel] {
                ++made;
                auto* widget = new QWidget;
                widget->setObjectName(QStringLiteral("panel%1").arg(SidePanels::rawValue(panel)));
                return widget;
            });
        }
        sidePanel.setFileInspectorUpdater([this](QWidget* inspector) { updated << inspector; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        SidePanelViewController::animationDuration = duration;
    }
    int duration = 0;
    QString shownPanel() const
    {
        QWidget* current = sidePanel.currentSidePanelViewController();
        return current ? current->objectName() : QString();
    }
    void post(const QString& name)
    {
        AppNotification::post(name);
        TestEnvironment::drainEvents();
    }

    QSplitter window;
    SidePanelViewController sidePanel;
    QLineEdit* field = nullptr;
    int made = 0;
    QList<QWidget*> updated;
};

TEST_F(SidePanelTest, StartsCollapsedAndToggleOpensThenCloses)
{
    EXPECT_TRUE(sidePanel.isCollapsed());
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none);
    post(NotificationName::toggleLookupTable);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::lookupTable);
    EXPECT_FALSE(sidePanel.isCollapsed());
    EXPECT_GT(window.sizes().at(1), 0);
    QPointer<QWidget> lookup = sidePanel.currentSidePanelViewController();
    post(NotificationName::toggleLookupTable);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none);
    EXPECT_TRUE(sidePanel.isCollapsed());
    EXPECT_EQ(sidePanel.currentSidePanelViewController(), nullptr);
    EXPECT_TRUE(lookup.isNull()); // released after the fade
}

TEST_F(SidePanelTest, AnotherPanelReplacesTheShownOneWithoutCollapsing)
{
    post(NotificationName::toggleLookupTable);
    QPointer<QWidget> lookup = sidePanel.currentSidePanelViewController();
    post(NotificationName::toggleTokenAttributePanel);
    EXPECT_EQ(shownPanel(), QStringLiteral("panel2"));
    EXPECT_FALSE(sidePanel.isCollapsed());
    EXPECT_TRUE(lookup.isNull());
    // Reopening makes a fresh panel that loads its state again.
    post(NotificationName::toggleLookupTable);
    EXPECT_EQ(shownPanel(), QStringLiteral("panel1"));
    EXPECT_EQ(made, 3);
}

TEST_F(SidePanelTest, TheInspectorIsKeptReopenedAndRefreshed)
{
    post(NotificationName::showFileInspector);
    QWidget* inspector = sidePanel.currentSidePanelViewController();
    ASSERT_NE(inspector, nullptr);
    EXPECT_EQ(updated, QList<QWidget*> { inspector });
    // The user drags the pane shut; asking again reopens it with the same inspector.
    window.setSizes({ 1000, 0 });
    ASSERT_TRUE(sidePanel.isCollapsed());
    post(NotificationName::showFileInspector);
    EXPECT_FALSE(sidePanel.isCollapsed());
    EXPECT_EQ(sidePanel.currentSidePanelViewController(), inspector);
    EXPECT_EQ(updated.size(), 2);
    post(NotificationName::updateFileInspector);
    EXPECT_EQ(updated.size(), 3);
    EXPECT_EQ(made, 1);
    // The window's menu command toggles it.
    post(NotificationName::showOrHideFileInspector);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none);
    post(NotificationName::showOrHideFileInspector);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::fileInspector);
}

TEST_F(SidePanelTest, UpdateFileInspectorWithAnotherPanelDoesNothing)
{
    post(NotificationName::updateFileInspector);
    post(NotificationName::showLookupTable);
    post(NotificationName::updateFileInspector);
    EXPECT_TRUE(updated.isEmpty());
}

TEST_F(SidePanelTest, HideRequestsCloseWhateverIsOpenButTheLookupTablesOwn)
{
    for (const QString& hide : { NotificationName::hideAllPanels, NotificationName::hideFileInspector,
             NotificationName::hideTokenAttributePanel }) {
        post(NotificationName::toggleTokenAttributePanel);
        ASSERT_EQ(sidePanel.currentSidePanel(), SidePanel::tokenAttributes);
        post(hide);
        EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none) << hide.toStdString();
        EXPECT_TRUE(sidePanel.isCollapsed());
    }
    // Leaving a lookup rule asks to hide the lookup table: another panel stays.
    for (const QString& other : { NotificationName::showFileInspector, NotificationName::showTokenAttributePanel }) {
        post(other);
        const SidePanel shown = sidePanel.currentSidePanel();
        ASSERT_NE(shown, SidePanel::none);
        post(NotificationName::hideLookupTable);
        EXPECT_EQ(sidePanel.currentSidePanel(), shown) << other.toStdString();
        EXPECT_FALSE(sidePanel.isCollapsed());
    }
    post(NotificationName::showLookupTable);
    post(NotificationName::hideLookupTable);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none);
    EXPECT_TRUE(sidePanel.isCollapsed());
}

TEST_F(SidePanelTest, EscapeClosesAnOpenPanelOnly)
{
    field->setFocus();
    QTest::keyClicks(field, "abc");
    // Closed: Escape reaches the focused field as usual.
    EXPECT_FALSE(sidePanel.escapeShortcut()->isEnabled());
    post(NotificationName::showLookupTable);
    EXPECT_TRUE(sidePanel.escapeShortcut()->isEnabled());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::none);
    EXPECT_FALSE(sidePanel.escapeShortcut()->isEnabled());
    // Collapsed by hand: the pane shows nothing, so Escape is not taken.
    post(NotificationName::showLookupTable);
    window.setSizes({ 1000, 0 });
    emit window.splitterMoved(1000, 1);
    EXPECT_FALSE(sidePanel.escapeShortcut()->isEnabled());
}

TEST_F(SidePanelTest, EscapeInAPopupStaysThere)
{
    post(NotificationName::showLookupTable);
    QWidget popup(&window, Qt::Popup);
    popup.resize(100, 100);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QTest::keyClick(&popup, Qt::Key_Escape);
    EXPECT_EQ(sidePanel.currentSidePanel(), SidePanel::lookupTable);
}

TEST_F(SidePanelTest, APanelWithoutFactoryLeavesThePaneAsItWas)
{
    SidePanelViewController bare;
    QSplitter split;
    split.addWidget(new QWidget);
    split.addWidget(bare.view());
    LogCapture log;
    bare.toggleTokenAttributePanel();
    EXPECT_EQ(bare.currentSidePanel(), SidePanel::none);
    EXPECT_TRUE(log.contains("No side panel registered for 2"));
}

TEST_F(SidePanelTest, QuickSwapsEachReleaseOnlyTheirOwnOldPanel)
{
    SidePanelViewController::animationDuration = 40;
    post(NotificationName::showLookupTable);
    QPointer<QWidget> lookup = sidePanel.currentSidePanelViewController();
    post(NotificationName::toggleTokenAttributePanel);
    QPointer<QWidget> tokens = sidePanel.currentSidePanelViewController();
    post(NotificationName::showFileInspector);
    QPointer<QWidget> inspector = sidePanel.currentSidePanelViewController();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return lookup.isNull() && tokens.isNull(); }));
    ASSERT_FALSE(inspector.isNull());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return inspector->graphicsEffect() == nullptr; }));
    EXPECT_TRUE(inspector->isVisible());
    EXPECT_FALSE(sidePanel.isCollapsed());
}
