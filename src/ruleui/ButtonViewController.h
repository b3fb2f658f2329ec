#pragma once

#include "platform/Notification.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class ButtonCollectionView;
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

    void addRenameAction();
    void deleteRenameAction();
    void clearRenamingActions();
    void selectTransformer(int tag);
    void selectNextTransformer();
    void selectPrecedingTransformer();
    void moveRenameActionRight();
    void moveRenameActionLeft();

    // Notification handlers.
    void enableUserInputEvent();
    void disableUserInputEvent();
    void transformButtonUpdatedEvent();
    void updateButtonViewEvent();
    void selectTransformerEvent(const Notification& notification);

private:
    void initObservers();
    void reloadAndSelect();
    std::optional<int> currentIndex() const;

    QPointer<Transformers> m_transformers;
    QPointer<ButtonViewDataSource> m_dataSource;
    QPointer<ButtonViewDelegate> m_delegate;
    ButtonCollectionView* m_collectionView;
};
