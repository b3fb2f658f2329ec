// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class ButtonCollectionView;
class QAction;
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"
#include "rules/Transformers.h"

// The commands of the rule bar, as the main menu names them.
enum class ButtonViewAction {
    addRenameAction,
    deleteRenameAction,
    clearRenamingActions,
    selectTransformer,
    selectNextTransformer,
    selectPrecedingTransformer,
    moveRenameActionRight,
    moveRenameActionLeft,
};

// The rule button bar: one button per rule and "Add". It keeps the buttons in
// step with the rule list and answers the menu commands that add, delete,
// clear, select and move rules; every edit goes through the delegate.
class ButtonViewController : public QWidget {
    Q_OBJECT
public:
    explicit ButtonViewController(QWidget* parent = nullptr);

    // Wires the bar; call before the bar is shown.
    void setup(Transformers* transformers, ButtonViewDataSource* dataSource, ButtonViewDelegate* delegate);

    ButtonCollectionView* collectionView() const { return m_collectionView; }
    ButtonViewDelegate* delegate() const { return m_delegate; }
    ButtonViewDataSource* dataSource() const { return m_dataSource; }

    bool validateMenuItem(ButtonViewAction action, int tag = 0) const;

    // The menu names each item's command in this property; an add item may
    // name the kind of the new rule in the other.
    static constexpr const char* MENU_SELECTOR_PROPERTY = "selector";
    static constexpr const char* RULE_KIND_PROPERTY = "ruleKind";
    // The menu's commands; `sender` is the menu item (or none).
    Q_INVOKABLE bool validateMenuItem(QAction* item) const;
    Q_INVOKABLE void addRenameAction(QObject* sender = nullptr);
    Q_INVOKABLE void deleteRenameAction(QObject* sender = nullptr);
    Q_INVOKABLE void clearRenamingActions(QObject* sender = nullptr);
    void selectTransformer(int tag);
    Q_INVOKABLE void selectTransformer(QObject* sender);
    Q_INVOKABLE void selectNextTransformer(QObject* sender = nullptr);
    Q_INVOKABLE void selectPrecedingTransformer(QObject* sender = nullptr);
    Q_INVOKABLE void moveRenameActionRight(QObject* sender = nullptr);
    Q_INVOKABLE void moveRenameActionLeft(QObject* sender = nullptr);
    // Edit ▸ Delete while a rule button has the keyboard focus.
    Q_INVOKABLE void deleteFiles(QObject* sender) { deleteRenameAction(sender); }

    // Notification handlers.
    void enableUserInputEvent();
    void disableUserInputEvent();
    void transformButtonUpdatedEvent();
    void updateButtonViewEvent();
    void selectTransformerEvent(const Notification& notification);

private:
    void initObservers();
    void showContextMenu(int index, const QPoint& globalPosition);
    void reloadAndSelect();
    std::optional<int> currentIndex() const;

    QPointer<Transformers> m_transformers;
    QPointer<ButtonViewDataSource> m_dataSource;
    QPointer<ButtonViewDelegate> m_delegate;
    ButtonCollectionView* m_collectionView;
    bool m_hadPathScope = false;
};
