// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class ButtonCollectionViewItem;
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"
class QDrag;
class QHBoxLayout;

// The row of rule buttons followed by the "Add" button. Items come from the
// data source; selection and drags go through the delegate. A click in the
// empty part right of "Add" moves the window, a double click there zooms it.
// The row is one stop of the Tab chain (a click never focuses it): the arrow
// keys, Home and End move among the buttons and select the rule under the
// focus, Space or Return on "Add" adds a rule, Delete removes the focused
// rule, the menu key opens the context menu.
class ButtonCollectionView : public QWidget {
    Q_OBJECT
public:
    explicit ButtonCollectionView(QWidget* parent = nullptr);

    void setDataSource(ButtonViewDataSource* dataSource) { m_dataSource = dataSource; }
    void setDelegate(ButtonViewDelegate* delegate) { m_delegate = delegate; }

    void reloadData();
    int numberOfItems() const { return int(m_items.size()); }
    ButtonCollectionViewItem* item(int index) const;
    // The item under a point of this view; none between and after the items.
    std::optional<int> indexAt(const QPoint& position) const;
    // The drop position for a point: the item under it, or past the last item.
    int dropIndexAt(const QPoint& position) const;

    const QList<int>& selectionIndexes() const { return m_selection; }
    void setSelectionIndexes(const QList<int>& indexes);
    bool isSelectable() const { return m_selectable; }
    void setSelectable(bool selectable) { m_selectable = selectable; }

    // Moves an item's button without asking the data source.
    void moveItem(int from, int to);

    // The button that has the keyboard focus while the row has it.
    std::optional<int> focusIndex() const { return m_focusIndex; }

    // A dragged rule dropped farther than this from the bar is deleted.
    static constexpr int keepMargin = 100;
    // Whether a screen point lies on the bar or within its keep margin.
    bool isWithinKeepMargin(const QPoint& globalPoint) const;
    // The pointer's look while a dragged rule would be deleted.
    static QPixmap removalCursor();
    // Where no window takes the drag, the pointer shows the removal sign only
    // beyond the keep margin, where a drop deletes.
    void followPointer(QDrag* drag, const QPoint& globalPoint) const;
    // While a rule is dragged, the window answers for the keep margin, so
    // the pointer shows a move there and the removal sign beyond it.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void addRequested();
    // Delete pressed on a focused rule button.
    void deleteRequested();
    // A context menu on a rule button, which is selected first; at a global position.
    void contextMenuRequested(int index, const QPoint& globalPosition);
    // The button of the selected rule, or none: the selector line follows it.
    void selectorViewChanged(QWidget* view);

protected:
    // The buttons let the mouse through to the bar: the bar shows their tool tips.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool isRightOfAddButton(const QPoint& position) const;
    void startDrag(int index);
    void setFocusIndex(std::optional<int> index);
    // Selects the rule of a button, as a click does; the "Add" button selects nothing.
    void selectItem(int index);
    void updateAccessibleNames();

    QPointer<ButtonViewDataSource> m_dataSource;
    QPointer<ButtonViewDelegate> m_delegate;
    QHBoxLayout* m_layout;
    QList<ButtonCollectionViewItem*> m_items;
    QList<int> m_selection;
    bool m_selectable = true;
    std::optional<int> m_pressedIndex;
    QPoint m_pressPosition;
    std::optional<int> m_focusIndex;
};
