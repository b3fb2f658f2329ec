// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainMenu.h"

#include "app/ClearFileListMenuAction.h"
#include "app/ClearRecentRecipeMenuAction.h"
#include "app/MainWindow.h"
#include "app/NewDocumentMenuAction.h"
#include "app/NotificationMenuAction.h"
#include "app/OpenDocumentMenuAction.h"
#include "app/OpenRecentRecipeMenuAction.h"
#include "app/OpenRecipeMenuAction.h"
#include "app/PreferencesWindowController.h"
#include "app/ReloadFileListMenuAction.h"
#include "app/SaveRecipeMenuAction.h"
#include "app/SortMenuAction.h"
#include "platform/MainThread.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace MainMenu {

namespace {
struct SortItemInfo {
    SortMenuItem item;
    const char* selector;
    FileSortOrder order;
};

const QList<SortItemInfo>& sortItems()
{
    static const QList<SortItemInfo> items {
        { SortMenuItem::noSort, "sortNone:", FileSortOrder::none },
        { SortMenuItem::defaultSort, "sortDefault:", FileSortOrder::defaultSort },
        { SortMenuItem::byNameAscending, "sortByNameAscending:", FileSortOrder::byNameAscending },
        { SortMenuItem::byNameDescending, "sortByNameDescending:", FileSortOrder::byNameDescending },
        { SortMenuItem::byNumericNameAscending, "sortByNumericNameAscending:", FileSortOrder::byNumericNameAscending },
        { SortMenuItem::byNumericNameDescending, "sortByNumericNameDescending:", FileSortOrder::byNumericNameDescending },
        { SortMenuItem::byPathAscending, "sortByPathAscending:", FileSortOrder::byPathAscending },
        { SortMenuItem::byPathDescending, "sortByPathDescending:", FileSortOrder::byPathDescending },
        { SortMenuItem::byDateModifiedAscending, "sortByDateAscending:", FileSortOrder::byDateModifiedAscending },
        { SortMenuItem::byDateModifiedDescending, "sortByDateDescending:", FileSortOrder::byDateModifiedDescending },
        { SortMenuItem::byTransformedNameAscending, "sortByTransformedNameAscending:",
            FileSortOrder::byTransformedNameAscending },
        { SortMenuItem::byTransformedNameDescending, "sortByTransformedNameDescending:",
            FileSortOrder::byTransformedNameDescending },
        { SortMenuItem::byNumericTransformedNameAscending, "sortByNumericTransformedNameAscending:",
            FileSortOrder::byNumericTransformedNameAscending },
        { SortMenuItem::byNumericTransformedNameDescending, "sortByNumericTransformedNameDescending:",
            FileSortOrder::byNumericTransformedNameDescending },
        { SortMenuItem::byTransformedPathAscending, "sortByTransformedPathAscending:",
            FileSortOrder::byTransformedPathAscending },
        { SortMenuItem::byTransformedPathDescending, "sortByTransformedPathDescending:",
            FileSortOrder::byTransformedPathDescending },
    };
    return items;
}

const SortItemInfo& info(SortMenuItem item)
{
    return sortItems().at(static_cast<int>(item) - static_cast<int>(SortMenuItem::noSort));
}

// Items of a window that has closed are gone: their entries turn null.
QHash<int, QPointer<QAction>>& menuDictionary()
{
    static QHash<int, QPointer<QAction>> dictionary;
    return dictionary;
}

bool isStale(const QHash<int, QPointer<QAction>>& dictionary)
{
    if (dictionary.isEmpty())
        return true;
    for (const auto& item : dictionary)
        if (item.isNull())
            return true;
    return false;
}
} // namespace

std::optional<WindowMenuItem> windowMenuItem(int tag)
{
    if (tag == static_cast<int>(WindowMenuItem::hideNotRenamedFiles))
        return WindowMenuItem::hideNotRenamedFiles;
    if (tag == static_cast<int>(WindowMenuItem::hideHiddenFiles))
        return WindowMenuItem::hideHiddenFiles;
    return std::nullopt;
}

const QList<SortMenuItem>& allSortMenuItems()
{
    static const QList<SortMenuItem> items = [] {
        QList<SortMenuItem> list;
        for (const auto& entry : sortItems())
            list << entry.item;
        return list;
    }();
    return items;
}

std::optional<SortMenuItem> sortMenuItem(int tag)
{
    if (tag < static_cast<int>(SortMenuItem::noSort) || tag > static_cast<int>(SortMenuItem::byTransformedPathDescending))
        return std::nullopt;
    return static_cast<SortMenuItem>(tag);
}

QString selector(SortMenuItem item)
{
    return QString::fromLatin1(info(item).selector);
}

FileSortOrder fileSortOrder(SortMenuItem item)
{
    return info(item).order;
}

const QList<QObject*>& globalMenuActions()
{
    // Created once and never destroyed: they observe notifications for the whole run.
    static const QList<QObject*> actions {
        new ClearFileListMenuAction,
        new ClearRecentRecipeMenuAction,
        new NewDocumentMenuAction,
        new NotificationMenuAction,
        new OpenDocumentMenuAction,
        new ReloadFileListMenuAction,
        new OpenRecentRecipeMenuAction,
        new OpenRecipeMenuAction,
        new SaveRecipeMenuAction,
        new SortMenuAction,
        &PreferencesWindowController::shared(),
    };
    return actions;
}

QHash<int, QAction*> scanMenuItems(const QList<QAction*>& items)
{
    QHash<int, QAction*> dictionary;
    for (QAction* item : items) {
        if (item->menu()) {
            const QHash<int, QAction*> sub = scanMenuItems(item->menu()->actions());
            for (auto it = sub.constBegin(); it != sub.constEnd(); ++it)
                dictionary.insert(it.key(), it.value());
            continue;
        }
        bool isInt = false;
        const int tag = item->data().toInt(&isInt);
        if (isInt && tag >= 1)
            dictionary.insert(tag, item);
    }
    return dictionary;
}

QAction* menuItem(int tag)
{
    auto& dictionary = menuDictionary();
    if (isStale(dictionary)) {
        dictionary.clear();
        if (MainWindow* window = MainWindow::mainWindow()) {
            const QHash<int, QAction*> scanned = scanMenuItems(window->menuBar()->actions());
            for (auto it = scanned.constBegin(); it != scanned.constEnd(); ++it)
                dictionary.insert(it.key(), it.value());
        }
    }
    return dictionary.value(tag).data();
}

void selectSortMenu(SortMenuItem item)
{
    MainThread::post([item] {
        for (SortMenuItem each : allSortMenuItems()) {
            if (QAction* action = menuItem(static_cast<int>(each))) {
                action->setCheckable(true);
                action->setChecked(each == item);
            }
        }
    });
}

} // namespace MainMenu
