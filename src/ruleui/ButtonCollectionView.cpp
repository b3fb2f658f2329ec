#include "ruleui/ButtonCollectionView.h"

#include "platform/Log.h"
#include "rules/Transformer.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

ButtonCollectionView::ButtonCollectionView(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(4, 0, 4, 0);
    m_layout->setSpacing(4);
    m_layout->addStretch(1);
    setAcceptDrops(true);
    // Never takes the keyboard focus from a click.
    setFocusPolicy(Qt::NoFocus);
}

void ButtonCollectionView::reloadData()
{
    for (ButtonCollectionViewItem* item : std::as_const(m_items))
        delete item;
    m_items.clear();
    const int count = m_dataSource ? m_dataSource->numberOfItems() : 0;
    for (int k = 0; k < count; ++k) {
        auto* item = new ButtonCollectionViewItem(this);
        m_dataSource->configureItem(item, k);
        m_layout->insertWidget(k, item);
        m_items << item;
    }
    QList<int> kept;
    for (int index : std::as_const(m_selection))
        if (index < count)
            kept << index;
    m_selection = kept;
}

ButtonCollectionViewItem* ButtonCollectionView::item(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

std::optional<int> ButtonCollectionView::indexAt(const QPoint& position) const
{
    for (int k = 0; k < m_items.size(); ++k)
        if (m_items.at(k)->geometry().contains(position))
            return k;
    return std::nullopt;
}

int ButtonCollectionView::dropIndexAt(const QPoint& position) const
{
    for (int k = 0; k < m_items.size(); ++k)
        if (position.x() < m_items.at(k)->geometry().right())
            return k;
    return int(m_items.size());
}

void ButtonCollectionView::setSelectionIndexes(const QList<int>& indexes)
{
    m_selection = indexes;
    for (int k = 0; k < m_items.size(); ++k)
        m_items.at(k)->setSelected(indexes.contains(k));
}

void ButtonCollectionView::moveItem(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_items.size() || to >= m_items.size() || from == to)
        return;
    ButtonCollectionViewItem* moving = m_items.takeAt(from);
    m_items.insert(to, moving);
    m_layout->removeWidget(moving);
    m_layout->insertWidget(to, moving);
}

bool ButtonCollectionView::isRightOfAddButton(const QPoint& position) const
{
    return !m_items.isEmpty() && position.x() > m_items.last()->geometry().right();
}

void ButtonCollectionView::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && isRightOfAddButton(position)) {
        if (QWindow* handle = window()->windowHandle())
            handle->startSystemMove();
        return;
    }
    m_pressedIndex = indexAt(position);
    m_pressPosition = position;
    if (!m_pressedIndex || !m_selectable || !m_delegate)
        return;
    const QList<int> accepted = m_delegate->shouldSelectItemsAt(this, { *m_pressedIndex });
    if (accepted.isEmpty())
        return;
    setSelectionIndexes(accepted);
    m_delegate->didSelectItemsAt(this, accepted);
}

void ButtonCollectionView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_pressedIndex || !m_delegate)
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    const int index = *m_pressedIndex;
    m_pressedIndex.reset();
    startDrag(index);
}

void ButtonCollectionView::mouseReleaseEvent(QMouseEvent* event)
{
    const auto pressed = m_pressedIndex;
    m_pressedIndex.reset();
    if (!pressed || indexAt(event->position().toPoint()) != pressed)
        return;
    ButtonCollectionViewItem* released = item(*pressed);
    if (released && released->style() == ButtonStyle::add) {
        Log::debug(Log::Category::ui, "⭐️ mouseUp: Add button clicked");
        emit addRequested();
    }
}

void ButtonCollectionView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (isRightOfAddButton(event->position().toPoint())) {
        QWidget* w = window();
        w->isMaximized() ? w->showNormal() : w->showMaximized();
        return;
    }
    mousePressEvent(event);
}

void ButtonCollectionView::startDrag(int index)
{
    if (!m_delegate->canDragItemsAt(this, { index }))
        return;
    m_delegate->willBeginAt(this, { index });
    auto* drag = new QDrag(this);
    drag->setMimeData(m_delegate->pasteboardWriterForItemAt(index));
    if (ButtonCollectionViewItem* dragged = item(index))
        drag->setPixmap(dragged->grab());
    drag->exec(Qt::MoveAction);
    m_delegate->endedAt(this, QCursor::pos());
}

void ButtonCollectionView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(Transformer::pasteboardType))
        event->acceptProposedAction();
}

void ButtonCollectionView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_delegate || !event->mimeData()->hasFormat(Transformer::pasteboardType))
        return;
    m_delegate->validateDrop(this, dropIndexAt(event->position().toPoint()));
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ButtonCollectionView::dropEvent(QDropEvent* event)
{
    if (!m_delegate)
        return;
    if (m_delegate->acceptDrop(this, dropIndexAt(event->position().toPoint()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
