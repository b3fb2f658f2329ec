// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "core/AppNotification.h"
#include "rules/Transformer.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

// The main menu. Titles and shortcuts are the window's own; the selectors, the
// tags and the titles "File" and "Recent Recipes" are what the commands rely on.
// Every shortcut is spelled out rather than taken from the desktop's key scheme,
// so that no two commands share a key under GNOME or KDE (the scheme's
// Refresh is Ctrl+R under GNOME, which Reload Files already holds).
void MainWindow::buildMenuBar()
{
    QMenu* file = addMenu(QStringLiteral("&File"));
    addItem(file, QStringLiteral("&New"), QStringLiteral("newDocument:"), QKeySequence(Qt::CTRL | Qt::Key_N));
    addItem(file, QStringLiteral("&Open Files…"), QStringLiteral("openDocument:"), QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, QStringLiteral("Open F&older…"), QStringLiteral("openFolder:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    file->addMenu(QStringLiteral("Recent Recipes"));
    file->addSeparator();
    addItem(file, QStringLiteral("Open &Recipe…"), QStringLiteral("openRecipe:"));
    addItem(file, QStringLiteral("&Save Recipe"), QStringLiteral("saveRecipe:"), QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(file, QStringLiteral("Save Recipe &As…"), QStringLiteral("saveRecipeAs:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    addItem(file, QStringLiteral("Re&load Files"), QStringLiteral("reloadFileList:"), QKeySequence(Qt::CTRL | Qt::Key_R));
    addItem(file, QStringLiteral("&Clear File List"), QStringLiteral("clearFileListAction:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    addItem(file, QStringLiteral("E&xport CSV…"), QStringLiteral("exportFilesToCsv:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    QMenu* edit = addMenu(QStringLiteral("&Edit"));
    m_undoAction = edit->addAction(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = edit->addAction(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (m_undoManager.canUndo())
            m_undoManager.undo();
    });
    connect(m_redoAction, &QAction::triggered, this, [this] {
        if (m_undoManager.canRedo())
            m_undoManager.redo();
    });
    edit->addSeparator();
    // The text commands act on the focused field, which also takes their keys itself.
    addTextItem(edit, QStringLiteral("Cu&t"), "cut", QKeySequence(Qt::CTRL | Qt::Key_X));
    addTextItem(edit, QStringLiteral("&Copy"), "copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    addTextItem(edit, QStringLiteral("&Paste"), "paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    // No shortcut: the focused file table, rule button or text field takes Delete itself.
    addItem(edit, QStringLiteral("&Delete"), QStringLiteral("delete:"));
    addTextItem(edit, QStringLiteral("Select &All"), "selectAll", QKeySequence(Qt::CTRL | Qt::Key_A));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Pr&eferences…"), QStringLiteral("preferencesAction:"), QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* view = addMenu(QStringLiteral("&View"));
    addItem(view, QStringLiteral("&Refresh Preview"), QStringLiteral("postNotification:"), QKeySequence(Qt::Key_F5), 0,
        NotificationName::applyChanges);
    addItem(view, QStringLiteral("Show or Hide File &Inspector"), QStringLiteral("postNotification:"),
        QKeySequence(Qt::CTRL | Qt::Key_I), 0, NotificationName::showOrHideFileInspector);
    addItem(view, QStringLiteral("&Token Chooser…"), QStringLiteral("showTokenChooser:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    // Space is the file table's own key: shown here, bound only while the menu
    // has the focus, so buttons, check boxes and text fields keep their Space.
    QAction* quickLook = addItem(view, QStringLiteral("&Quick Look"), QStringLiteral("quickLookAction:"), Qt::Key_Space);
    quickLook->setShortcutContext(Qt::WidgetShortcut);
    // The header's double click, from the keyboard.
    addItem(view, QStringLiteral("Show &Path Columns"), QStringLiteral("postNotification:"), {}, 0,
        NotificationName::uncollapsePathColumns);
    addItem(view, QStringLiteral("Hi&de Path Columns"), QStringLiteral("postNotification:"), {}, 0,
        NotificationName::collapsePathColumns);
    view->addSeparator();
    addItem(view, QStringLiteral("Hide Files &Not Renamed"), QStringLiteral("hideNotRenamedFilesMenuHandler:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), static_cast<int>(MainMenu::WindowMenuItem::hideNotRenamedFiles))
        ->setCheckable(true);
    addItem(view, QStringLiteral("Hide &Hidden Files"), QStringLiteral("hideHiddenFilesMenuHandler:"),
        QKeySequence(Qt::CTRL | Qt::Key_H), static_cast<int>(MainMenu::WindowMenuItem::hideHiddenFiles))
        ->setCheckable(true);

    QMenu* sort = addMenu(QStringLiteral("&Sort"));
    for (SortMenuItem item : MainMenu::allSortMenuItems()) {
        QAction* action = addItem(sort, menuDescription(MainMenu::fileSortOrder(item)), MainMenu::selector(item), {},
            static_cast<int>(item));
        action->setCheckable(true);
        if (item == SortMenuItem::defaultSort)
            sort->addSeparator();
    }

    QMenu* rules = addMenu(QStringLiteral("&Rules"));
    addItem(rules, QStringLiteral("&Add Rename Action"), QStringLiteral("addRenameAction:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    QMenu* kinds = rules->addMenu(QStringLiteral("Add &Kind"));
    for (TransformerType type : allTransformerTypes()) {
        Transformer probe;
        probe.type = type;
        const auto kind = probe.transformer();
        QAction* item = addItem(kinds, kind ? kind->selectorLabel() : rawValue(type), QStringLiteral("addRenameAction:"));
        item->setProperty(MainMenu::RULE_KIND_PROPERTY, rawValue(type));
    }
    connect(kinds, &QMenu::aboutToShow, this, [this, kinds] { validateMenu(kinds); });
    addItem(rules, QStringLiteral("&Delete Rename Action"), QStringLiteral("deleteRenameAction:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    rules->addSeparator();
    addItem(rules, QStringLiteral("Select &Next"), QStringLiteral("selectNextTransformer:"),
        QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    addItem(rules, QStringLiteral("Select &Preceding"), QStringLiteral("selectPrecedingTransformer:"),
        QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    addItem(rules, QStringLiteral("Select &First"), QStringLiteral("selectTransformer:"), {}, 0)->setData(0);
    addItem(rules, QStringLiteral("Select La&st"), QStringLiteral("selectTransformer:"));
    addItem(rules, QStringLiteral("Move &Right"), QStringLiteral("moveRenameActionRight:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown));
    addItem(rules, QStringLiteral("Move &Left"), QStringLiteral("moveRenameActionLeft:"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageUp));
    rules->addSeparator();
    addItem(rules, QStringLiteral("&Clear All Rename Actions"), QStringLiteral("clearRenamingActions:"));
    rules->addSeparator();
    addItem(rules, QStringLiteral("Re&name Files"), QStringLiteral("renameFiles:"), QKeySequence(Qt::CTRL | Qt::Key_Return));

    QMenu* help = addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(QStringLiteral("&About Brackenfold"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);

    updateUndoItems();
}

QMenu* MainWindow::addMenu(const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        updateUndoItems();
        updateTextItems();
        validateMenu(menu);
    });
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const QString& title, const QString& selector, const QKeySequence& shortcut,
    int tag, const QString& identifier)
{
    QAction* action = menu->addAction(title);
    action->setShortcut(shortcut);
    action->setProperty(MainMenu::SELECTOR_PROPERTY, selector);
    if (tag != 0)
        action->setData(tag);
    if (!identifier.isEmpty())
        action->setObjectName(identifier);
    connect(action, &QAction::triggered, this, [this, action, selector] { sendAction(selector, action); });
    return action;
}

QAction* MainWindow::addTextItem(QMenu* menu, const QString& title, const char* method, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(title);
    action->setShortcut(shortcut);
    action->setProperty(TEXT_COMMAND_PROPERTY, QByteArray(method));
    connect(action, &QAction::triggered, this, [method] {
        if (QWidget* focus = QApplication::focusWidget(); focus && hasTextCommand(focus, method))
            QMetaObject::invokeMethod(focus, method, Qt::DirectConnection);
    });
    m_textItems << action;
    return action;
}
