// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QTest>

namespace {

// The menu's items with their place ("Edit/Undo", mnemonics taken out).
struct MenuEntry {
    QString path;
    QAction* action;
};

QList<MenuEntry> menuEntries(QMenuBar* bar)
{
    QList<MenuEntry> entries;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& prefix) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString path = prefix + QLatin1Char('/') + QString(action->text()).remove(QLatin1Char('&'));
            if (action->menu())
                walk(action->menu(), path);
            else
                entries.push_back({ path, action });
        }
    };
    for (QAction* top : bar->actions())
        if (top->menu())
            walk(top->menu(), QString(top->text()).remove(QLatin1Char('&')));
    return entries;
}

// The desktop's keys of the text fields and lists of the window: a menu
// shortcut on one of them would take the key away from the focused field.
const QList<QKeySequence::StandardKey> FIELD_KEYS {
    QKeySequence::Delete, QKeySequence::Backspace, QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste,
    QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll, QKeySequence::Deselect,
    QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar, QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord, QKeySequence::MoveToNextLine, QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToNextPage, QKeySequence::MoveToPreviousPage, QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine, QKeySequence::MoveToStartOfBlock, QKeySequence::MoveToEndOfBlock,
    QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument, QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar, QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine, QKeySequence::SelectPreviousLine, QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage, QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfBlock, QKeySequence::SelectEndOfBlock, QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
    QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine, QKeySequence::InsertParagraphSeparator,
    QKeySequence::InsertLineSeparator,
};

// The field key that each text command of the Edit menu stands for.
const QHash<QString, QKeySequence::StandardKey> OWN_FIELD_KEY {
    { "Edit/Undo", QKeySequence::Undo }, { "Edit/Redo", QKeySequence::Redo }, { "Edit/Cut", QKeySequence::Cut },
    { "Edit/Copy", QKeySequence::Copy }, { "Edit/Paste", QKeySequence::Paste },
    { "Edit/Select All", QKeySequence::SelectAll },
};

// Records which item a shortcut reaches, and swallows it so that no command runs.
class ShortcutCatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        hits << std::make_pair(static_cast<QAction*>(watched), shortcut->isAmbiguous());
        return true;
    }
    QList<std::pair<QAction*, bool>> hits;
};

} // namespace

class KeySchemeTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        entries = menuEntries(window->menuBar());
    }
    QList<MenuEntry> entries;
};

TEST_F(KeySchemeTest, TheMenuAndItsShortcuts)
{
    const QList<std::pair<QString, QKeySequence>> expected {
        { "File/New", QKeySequence("Ctrl+N") },
        { "File/Open Files…", QKeySequence("Ctrl+O") },
        { "File/Open Folder…", QKeySequence("Ctrl+Shift+O") },
        { "File/Reload Files", QKeySequence("Ctrl+R") },
        { "File/Quit", QKeySequence("Ctrl+Q") },
        { "Edit/Undo", QKeySequence("Ctrl+Z") },
        { "Edit/Redo", QKeySequence("Ctrl+Shift+Z") },
        { "Edit/Delete", QKeySequence() },
        { "View/Refresh Preview", QKeySequence("F5") },
        { "View/Hide Hidden Files", QKeySequence("Ctrl+H") },
        { "Rules/Add Rename Action", QKeySequence("Ctrl+Shift+N") },
        { "Rules/Delete Rename Action", QKeySequence("Ctrl+Shift+Del") },
        { "Rules/Select Next", QKeySequence("Ctrl+PgDown") },
        { "Rules/Select Preceding", QKeySequence("Ctrl+PgUp") },
        { "Rules/Move Right", QKeySequence("Ctrl+Shift+PgDown") },
        { "Rules/Move Left", QKeySequence("Ctrl+Shift+PgUp") },
        { "Rules/Rename Files", QKeySequence("Ctrl+Return") },
        { "Help/About Brackenfold", QKeySequence() },
    };
    for (const auto& [path, key] : expected) {
        const auto found = std::find_if(entries.cbegin(), entries.cend(), [&](const MenuEntry& e) { return e.path == path; });
        ASSERT_NE(found, entries.cend()) << path.toStdString();
        EXPECT_EQ(found->action->shortcut(), key) << path.toStdString();
    }
    // Every menu and item is reachable by the keyboard: a mnemonic on each
    // title, except the sort orders and the kinds, which their menus' own
    // mnemonics and the arrow keys reach.
    for (QAction* top : window->menuBar()->actions())
        EXPECT_TRUE(top->text().contains(QLatin1Char('&'))) << top->text().toStdString();
    QSet<QString> seen;
    for (const MenuEntry& entry : entries) {
        EXPECT_FALSE(seen.contains(entry.path)) << "two items named " << entry.path.toStdString();
        seen << entry.path;
    }
}

TEST_F(KeySchemeTest, EveryShortcutReachesOneCommandUnderTheDesktopsScheme)
{
    const QString scheme = qEnvironmentVariable("BRACKENFOLD_KEY_SCHEME");
    if (scheme.isEmpty())
        GTEST_SKIP() << "runs under xvfb with a GNOME or KDE key scheme (BRACKENFOLD_KEY_SCHEME)";
    // The scheme is in force: GNOME binds Refresh to Ctrl+R as well, KDE to F5 alone.
    ASSERT_EQ(QKeySequence::keyBindings(QKeySequence::Refresh).contains(QKeySequence("Ctrl+R")), scheme == "gnome");

    QHash<QKeySequence, QString> owner;
    for (const MenuEntry& entry : entries) {
        for (const QKeySequence& key : entry.action->shortcuts()) {
            EXPECT_FALSE(owner.contains(key)) << key.toString().toStdString() << " is held by "
                                              << owner.value(key).toStdString() << " and " << entry.path.toStdString();
            owner.insert(key, entry.path);
            for (QKeySequence::StandardKey fieldKey : FIELD_KEYS)
                if (QKeySequence::keyBindings(fieldKey).contains(key))
                    EXPECT_EQ(OWN_FIELD_KEY.value(entry.path, QKeySequence::UnknownKey), fieldKey)
                        << entry.path.toStdString() << " takes " << key.toString().toStdString()
                        << ", a key of the text fields under " << scheme.toStdString();
        }
    }

    // Pressed in the active window, each key reaches its item, and only it.
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(window->isActiveWindow());
    ShortcutCatcher catcher;
    for (const MenuEntry& entry : entries) {
        entry.action->setEnabled(true);
        entry.action->installEventFilter(&catcher);
    }
    for (const MenuEntry& entry : entries) {
        // A key shown in the menu but handled by its own widget (Space: the file table) is not the window's.
        if (entry.action->shortcut().isEmpty() || entry.action->shortcutContext() == Qt::WidgetShortcut)
            continue;
        catcher.hits.clear();
        QTest::keySequence(window.get(), entry.action->shortcut());
        ASSERT_EQ(catcher.hits.size(), 1) << entry.path.toStdString();
        EXPECT_EQ(catcher.hits.first().first, entry.action) << entry.path.toStdString();
        EXPECT_FALSE(catcher.hits.first().second) << entry.path.toStdString() << " is ambiguous";
    }
}
