// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SelectorLineView.h"

#include "uikit/AppStyle.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

SelectorLineView::SelectorLineView(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SelectorLineView::setSelectorView(QWidget* view)
{
    watch(m_selectorView, false);
    m_selectorView = view;
    watch(view, true);
    update();
}

// The button is placed by layouts and scrolling after it is chosen: the notch
// follows every move of the button and of the widgets that hold it.
void SelectorLineView::watch(QWidget* view, bool on)
{
    for (QWidget* each = view; each && each != window(); each = each->parentWidget()) {
        if (on)
            each->installEventFilter(this);
        else
            each->removeEventFilter(this);
    }
}

bool SelectorLineView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)
        update();
    return QWidget::eventFilter(watched, event);
}

std::optional<qreal> SelectorLineView::notchX() const
{
    if (!m_selectorView || !m_selectorView->parentWidget())
        return std::nullopt;
    const QPoint topLeft = mapFromGlobal(m_selectorView->parentWidget()->mapToGlobal(m_selectorView->geometry().topLeft()));
    return topLeft.x() + 16;
}

QColor SelectorLineView::lineColor(const QWidget* view)
{
    return AppStyle::strokeColor(view);
}

QColor SelectorLineView::notchColor(const QWidget* view)
{
    return AppStyle::darkBackgroundColor(view);
}

void SelectorLineView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Qt's y grows downward: the line runs along the bottom edge.
    const qreal bottom = height() - 0.5;
    const qreal w = width();
    painter.setPen(QPen(lineColor(this), 1));
    const auto x = notchX();
    if (!x) {
        painter.drawLine(QPointF(0, bottom), QPointF(w - 1, bottom));
        return;
    }
    QPainterPath notch;
    notch.moveTo(*x, bottom);
    notch.lineTo(*x + 32, bottom);
    notch.lineTo(*x + 16, bottom - 14);
    notch.closeSubpath();
    painter.fillPath(notch, notchColor(this));
    painter.drawLine(QPointF(0, bottom), QPointF(*x, bottom));
    painter.drawLine(QPointF(*x, bottom), QPointF(*x + 16, bottom - 14));
    painter.drawLine(QPointF(*x + 16, bottom - 14), QPointF(*x + 32, bottom));
    painter.drawLine(QPointF(*x + 32, bottom), QPointF(w, bottom));
}
