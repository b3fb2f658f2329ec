// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileSortOrder.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QAction;

// The main menu's shared parts: the menu-action objects that hold the commands
// of no view, the lookup of items by tag, and the sort check mark.
//
// A menu item names its command by a selector text ("sortNone:"), kept in the
// action's "selector" property; a target answers it with a slot or invokable
// method of that name taking the sender (QObject*). Tags are the action's data.
namespace MainMenu {

inline constexpr const char* SELECTOR_PROPERTY = "selector";
// An item that adds a rule may name the rule's kind ("simple", ...) here.
inline constexpr const char* RULE_KIND_PROPERTY = "ruleKind";

// The tags of the window menu's two file filters.
enum class WindowMenuItem { hideNotRenamedFiles = 301, hideHiddenFiles = 302 };
std::optional<WindowMenuItem> windowMenuItem(int tag);

// Every sort item in tag order; none for a tag outside 200 to 215.
const QList<SortMenuItem>& allSortMenuItems();
std::optional<SortMenuItem> sortMenuItem(int tag);
// The selector of the item's action and the order it sorts by.
QString selector(SortMenuItem item);
FileSortOrder fileSortOrder(SortMenuItem item);

// The menu-action objects, created together on first use and kept for the run.
const QList<QObject*>& globalMenuActions();

// Every tagged leaf item under the given items; the last one met wins a tag.
QHash<int, QAction*> scanMenuItems(const QList<QAction*>& items);
// The main window's menu item with the tag, or null.
QAction* menuItem(int tag);
// Ticks the item and unticks the other fifteen sort items, on the main thread after the caller returns.
void selectSortMenu(SortMenuItem item);

} // namespace MainMenu
