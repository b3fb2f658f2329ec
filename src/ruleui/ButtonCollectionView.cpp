// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonCollectionView.h"

#include "platform/Log.h"
#include "rules/Transformer.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"
#include "uikit/ImageUtil.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QCursor>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace {
// The painted rule buttons are buttons to a screen reader, the row a list of them.
QAccessibleInterface* accessibleRuleButton(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("ButtonCollectionViewItem"))
        return new QAccessibleWidget(widget, QAccessible::Button);
    if (className == QLatin1String("ButtonCollectionView"))
        return new QAccessibleWidget(widget, QAccessible::List);
    return nullptr;
}
} // namespace

ButtonCollectionView::ButtonCollectionView(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(4, 0, 4, 0);
    m_layout->setSpacing(4);
    m_layout->addStretch(1);
    setAcceptDrops(true);
    // Reached by Tab, never focused by a click.
    setFocusPolicy(Qt::TabFocus);
    static const bool accessibleFactory = [] {
        QAccessible::installFactory(&accessibleRuleButton);
        return true;
    }();
    Q_UNUSED(accessibleFactory);
    setAccessibleName(QStringLiteral("Rename actions"));
    setAccessibleDescription(QStringLiteral("The rename actions in the order they apply; arrow keys choose one."));
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
    updateAccessibleNames();
    if (m_focusIndex && *m_focusIndex >= count)
        setFocusIndex(count > 0 ? std::optional<int>(count - 1) : std::nullopt);
}

void ButtonCollectionView::updateAccessibleNames()
{
    const int rules = int(m_items.size()) - 1;
    for (int k = 0; k < m_items.size(); ++k) {
        ButtonCollectionViewItem* each = m_items.at(k);
        if (each->style() == ButtonStyle::add) {
            each->setAccessibleName(QStringLiteral("Add Rename Action"));
            continue;
        }
        QString name = QStringLiteral("%1 %2 of %3").arg(each->label()).arg(k + 1).arg(rules);
        if (!each->subLabel().isEmpty())
            name += QStringLiteral(", ") + each->subLabel();
        if (each->transformer() && each->transformer()->disabled)
            name += QStringLiteral(", disabled");
        each->setAccessibleName(name);
        each->setAccessibleDescription(each->toolTip());
    }
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
    // The keyboard focus follows the selected rule.
    if (!indexes.isEmpty() && m_focusIndex != indexes.first())
        setFocusIndex(indexes.first());
}

void ButtonCollectionView::setFocusIndex(std::optional<int> index)
{
    m_focusIndex = index;
    update();
    if (hasFocus() && index)
        if (ButtonCollectionViewItem* focused = item(*index)) {
            QAccessibleEvent event(focused, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
}

void ButtonCollectionView::selectItem(int index)
{
    if (!m_selectable || !m_delegate || !m_delegate->shouldSelectItemsAt(this, { index }).contains(index))
        return;
    m_delegate->doSelectButtonAt(index, this);
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
    followPointer(drag, QCursor::pos());
    // Outside the window no drag event tells where the pointer is.
    QTimer pointerWatch;
    connect(&pointerWatch, &QTimer::timeout, this, [this, drag = QPointer<QDrag>(drag)] {
        if (drag)
            followPointer(drag, QCursor::pos());
    });
    pointerWatch.start(30);
    QPointer<QWidget> host = window();
    const bool hostTookDrops = host && host->acceptDrops();
    if (host) {
        host->setAcceptDrops(true);
        host->installEventFilter(this);
    }
    drag->exec(Qt::MoveAction);
    if (host) {
        host->removeEventFilter(this);
        host->setAcceptDrops(hostTookDrops);
    }
    m_delegate->endedAt(this, QCursor::pos());
}

void ButtonCollectionView::followPointer(QDrag* drag, const QPoint& globalPoint) const
{
    // A null picture is the desktop's own "nothing happens here".
    const bool keeps = isWithinKeepMargin(globalPoint);
    if (keeps != drag->dragCursor(Qt::IgnoreAction).isNull())
        drag->setDragCursor(keeps ? QPixmap() : removalCursor(), Qt::IgnoreAction);
}

bool ButtonCollectionView::isWithinKeepMargin(const QPoint& globalPoint) const
{
    const QRect grown = rect().adjusted(-keepMargin, -keepMargin, keepMargin, keepMargin);
    return QRect(mapToGlobal(grown.topLeft()), grown.size()).contains(globalPoint);
}

QPixmap ButtonCollectionView::removalCursor()
{
    // A struck-through circle: read as "gone" without colour, in either palette.
    QPixmap pixmap = ImageUtil::transparentCanvas(QSize(24, 24));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 5));
    painter.drawEllipse(QRectF(4, 4, 16, 16));
    painter.drawLine(QPointF(7, 17), QPointF(17, 7));
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawEllipse(QRectF(4, 4, 16, 16));
    painter.drawLine(QPointF(7, 17), QPointF(17, 7));
    return pixmap;
}

bool ButtonCollectionView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!drag->mimeData()->hasFormat(Transformer::pasteboardType))
            break;
        const QPoint global = window()->mapToGlobal(drag->position().toPoint());
        if (isWithinKeepMargin(global)) {
            drag->setDropAction(Qt::MoveAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(Transformer::pasteboardType))
            break;
        // Kept where it is: the order its live moves made is put back.
        drop->ignore();
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
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

bool ButtonCollectionView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<int> index = indexAt(help->pos());
    ButtonCollectionViewItem* button = index ? item(*index) : nullptr;
    if (button && !button->toolTip().isEmpty()) {
        QToolTip::showText(help->globalPos(), button->toolTip(), this, button->geometry());
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void ButtonCollectionView::focusInEvent(QFocusEvent* event)
{
    if (!m_focusIndex || !item(*m_focusIndex))
        setFocusIndex(m_selection.isEmpty() ? (m_items.isEmpty() ? std::nullopt : std::optional<int>(0))
                                            : std::optional<int>(m_selection.first()));
    else
        setFocusIndex(m_focusIndex);
    QWidget::focusInEvent(event);
}

void ButtonCollectionView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void ButtonCollectionView::keyPressEvent(QKeyEvent* event)
{
    const int count = int(m_items.size());
    if (count == 0 || !m_focusIndex)
        return QWidget::keyPressEvent(event);
    const int focused = *m_focusIndex;
    const bool onAdd = item(focused) && item(focused)->style() == ButtonStyle::add;
    std::optional<int> target;
    switch (event->key()) {
    case Qt::Key_Left: target = std::max(0, focused - 1); break;
    case Qt::Key_Right: target = std::min(count - 1, focused + 1); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = count - 1; break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onAdd && m_selectable)
            emit addRequested();
        return event->accept();
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (!onAdd && m_selectable)
            emit deleteRequested();
        return event->accept();
    default: return QWidget::keyPressEvent(event);
    }
    event->accept();
    setFocusIndex(*target);
    selectItem(*target);
}

void ButtonCollectionView::contextMenuEvent(QContextMenuEvent* event)
{
    std::optional<int> index = event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : m_focusIndex;
    if (!index || !item(*index) || item(*index)->style() == ButtonStyle::add || !m_selectable)
        return;
    selectItem(*index);
    const QPoint global = event->reason() == QContextMenuEvent::Mouse
        ? event->globalPos()
        : mapToGlobal(item(*index)->geometry().bottomLeft());
    emit contextMenuRequested(*index, global);
}

void ButtonCollectionView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!hasFocus() || !m_focusIndex || !item(*m_focusIndex))
        return;
    // The focus ring lies in the spacing around the button, which the button does not paint over.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRoundedRect(QRectF(item(*m_focusIndex)->geometry()).adjusted(1, 2, -1, -2), 7, 7);
}
