// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QMenu;

// The recipes opened or saved lately, most recent first, at most MAX_SIZE,
// kept in the preferences and shown under File > Recent Recipes. Main thread.
class RecentRecipeList : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MAX_SIZE = 10;
    static inline const QString CLEAR_MENU_TITLE = QStringLiteral("Clear Menu");

    // Starts from the stored list; anything but a list of texts gives an empty one.
    RecentRecipeList();

    const QStringList& list() const { return m_list; }
    bool isEmpty() const { return m_list.isEmpty(); }
    std::optional<QString> first() const;
    QString debugDescription() const;

    // Puts the recipe's path in front; the same file further down goes.
    void rememberRecipeAt(const QUrl& url);
    void clear();
    // Rebuilds File > Recent Recipes of the main window from the list.
    void updateMenu();
    // The menu's entries for a list: a recipe that no longer exists is left out.
    static void fillMenu(QMenu* menu, const QStringList& list);
    // The title of a recipe's entry: "/folder" for the recipe of a folder.
    static QString menuTitle(const QString& path);

private:
    void store();

    QStringList m_list;
};
