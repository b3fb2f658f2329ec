#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "core/AppNotification.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

// The main menu. Titles and shortcuts are the window's own; the selectors, the
// tags and the titles "File" and "Recent Recipes" are what the commands rely on.
void MainWindow::buildMenuBar()
{
    QMenu* file = addMenu(QStringLiteral("File"));
    addItem(file, QStringLiteral("New"), QStringLiteral("newDocument:"), QKeySequence::New);
    addItem(file, QStringLiteral("Open…"), QStringLiteral("openDocument:"), QKeySequence::Open);
    file->addMenu(QStringLiteral("Recent Recipes"));
    file->addSeparator();
    addItem(file, QStringLiteral("Open Recipe…"), QStringLiteral("openRecipe:"));
    addItem(file, QStringLiteral("Save Recipe"), QStringLiteral("saveRecipe:"), QKeySequence::Save);
    addItem(file, QStringLiteral("Save Recipe As…"), QStringLiteral("saveRecipeAs:"), QKeySequence::SaveAs);
    file->addSeparator();
    addItem(file, QStringLiteral("Reload Files"), QStringLiteral("reloadFileList:"), QKeySequence(Qt::CTRL | Qt::Key_R));
    addItem(file, QStringLiteral("Clear File List"), QStringLiteral("clearFileListAction:"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quit"), QKeySequence::Quit);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    QMenu* edit = addMenu(QStringLiteral("Edit"));
    m_undoAction = edit->addAction(QStringLiteral("Undo"), QKeySequence::Undo);
    m_redoAction = edit->addAction(QStringLiteral("Redo"), QKeySequence::Redo);
    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (m_undoManager.canUndo())
            m_undoManager.undo();
    });
    connect(m_redoAction, &QAction::triggered, this, [this] {
        if (m_undoManager.canRedo())
            m_undoManager.redo();
    });
    edit->addSeparator();
    // No shortcut: the file table takes Delete itself, and text fields keep it.
    addItem(edit, QStringLiteral("Delete"), QStringLiteral("delete:"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Preferences…"), QStringLiteral("preferencesAction:"), QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* sort = addMenu(QStringLiteral("Sort"));
    for (SortMenuItem item : MainMenu::allSortMenuItems()) {
        QAction* action = addItem(sort, menuDescription(MainMenu::fileSortOrder(item)), MainMenu::selector(item), {},
            static_cast<int>(item));
        action->setCheckable(true);
        if (item == SortMenuItem::defaultSort)
            sort->addSeparator();
    }

    QMenu* view = addMenu(QStringLiteral("View"));
    addItem(view, QStringLiteral("Refresh Preview"), QStringLiteral("postNotification:"), QKeySequence::Refresh, 0,
        NotificationName::applyChanges);
    addItem(view, QStringLiteral("Show or Hide File Inspector"), QStringLiteral("postNotification:"),
        QKeySequence(Qt::CTRL | Qt::Key_I), 0, NotificationName::showOrHideFileInspector);

    QMenu* window = addMenu(QStringLiteral("Window"));
    addItem(window, QStringLiteral("Hide Files Not Renamed"), QStringLiteral("hideNotRenamedFilesMenuHandler:"), {},
        static_cast<int>(MainMenu::WindowMenuItem::hideNotRenamedFiles))
        ->setCheckable(true);
    addItem(window, QStringLiteral("Hide Hidden Files"), QStringLiteral("hideHiddenFilesMenuHandler:"), {},
        static_cast<int>(MainMenu::WindowMenuItem::hideHiddenFiles))
        ->setCheckable(true);

    updateUndoItems();
}

QMenu* MainWindow::addMenu(const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        updateUndoItems();
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
