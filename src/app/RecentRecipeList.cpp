// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecentRecipeList.h"

#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "core/CanonicalText.h"
#include "core/Preference.h"
#include "core/String+path.h"
#include "platform/Log.h"
#include "rules/Recipe.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* recentRecipesMenu()
{
    MainWindow* window = MainWindow::mainWindow();
    if (!window)
        return nullptr;
    for (QAction* top : window->menuBar()->actions()) {
        // The title carries its mnemonic ("&File").
        if (!top->menu() || QString(top->text()).remove(QLatin1Char('&')) != QLatin1String("File"))
            continue;
        for (QAction* item : top->menu()->actions())
            if (item->menu() && item->text() == QLatin1String("Recent Recipes"))
                return item->menu();
    }
    return nullptr;
}

} // namespace

RecentRecipeList::RecentRecipeList()
    : m_list(Preference::stringArrayFor(PreferenceKey::recentRecipes))
{
}

std::optional<QString> RecentRecipeList::first() const
{
    if (m_list.isEmpty())
        return std::nullopt;
    return m_list.first();
}

QString RecentRecipeList::debugDescription() const
{
    return QLatin1Char('[') + m_list.join(QLatin1Char(',')) + QLatin1Char(']');
}

void RecentRecipeList::rememberRecipeAt(const QUrl& url)
{
    // The path as opened: a link is listed under its own name. Another
    // spelling of the same accents is the same entry.
    const QString path = url.toLocalFile();
    QStringList list { path };
    for (const QString& entry : std::as_const(m_list))
        if (!CanonicalText::equal(entry, path))
            list << entry;
    if (list.size() > MAX_SIZE)
        list.resize(MAX_SIZE);
    m_list = list;
    Log::debug(Log::Category::ui, "Remembering new recipe: %{public}s", path);
    store();
    updateMenu();
}

void RecentRecipeList::clear()
{
    m_list.clear();
    store();
    updateMenu();
}

void RecentRecipeList::store()
{
    Preference::set(m_list, PreferenceKey::recentRecipes);
}

QString RecentRecipeList::menuTitle(const QString& path)
{
    const QString name = String::lastPathComponent(path);
    if (name == Recipe::FOLDER_RECIPE_NAME)
        return QLatin1Char('/') + String::lastPathComponent(String::stringByDeletingLastPathComponent(path));
    return name;
}

void RecentRecipeList::fillMenu(QMenu* menu, const QStringList& list)
{
    menu->clear();
    menu->setToolTipsVisible(true);
    for (const QString& path : list) {
        if (!QFileInfo::exists(path))
            continue;
        QAction* item = menu->addAction(menuTitle(path));
        item->setObjectName(path);
        item->setToolTip(path);
        item->setProperty(MainMenu::SELECTOR_PROPERTY, QStringLiteral("openRecentRecipe:"));
        QObject::connect(item, &QAction::triggered, item, [item] {
            if (MainWindow* window = MainWindow::mainWindow())
                window->sendAction(QStringLiteral("openRecentRecipe:"), item);
        });
    }
    if (!list.isEmpty())
        menu->addSeparator();
    QAction* clear = menu->addAction(CLEAR_MENU_TITLE);
    if (list.isEmpty()) {
        clear->setEnabled(false);
        return;
    }
    clear->setProperty(MainMenu::SELECTOR_PROPERTY, QStringLiteral("clearRecentRecipesMenu:"));
    QObject::connect(clear, &QAction::triggered, clear, [clear] {
        if (MainWindow* window = MainWindow::mainWindow())
            window->sendAction(QStringLiteral("clearRecentRecipesMenu:"), clear);
    });
}

void RecentRecipeList::updateMenu()
{
    if (QMenu* menu = recentRecipesMenu())
        fillMenu(menu, m_list);
    Log::debug(Log::Category::ui, "Recent recipes (%ld): %s", m_list.size(), debugDescription());
}
