// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/TintedView.h"

#include "uikit/Layout.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace {
constexpr qreal REFERENCE_HEIGHT = 200.0;
}

TintedView::TintedView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (parent)
        FillParentLayout().initLayout(this);
}

void TintedView::setTintColor(std::optional<QColor> color)
{
    m_tintColor = std::move(color);
    update();
}

qreal TintedView::middleStop(qreal height)
{
    const qreal h = std::max(height, REFERENCE_HEIGHT);
    return 1.0 - 0.2 * REFERENCE_HEIGHT / h;
}

bool TintedView::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange && parentWidget())
        FillParentLayout().initLayout(this);
    return QWidget::event(event);
}

void TintedView::paintEvent(QPaintEvent* event)
{
    if (!m_tintColor || !m_tintColor->isValid()) {
        QWidget::paintEvent(event);
        return;
    }
    // The whole height, not the repainted part, sets the stops, so partial
    // repaints draw the same gradient.
    const qreal height = this->height();
    QColor strong = *m_tintColor;
    strong.setAlphaF(0.2f);
    QColor faint = *m_tintColor;
    faint.setAlphaF(0.05f);
    QLinearGradient gradient(QPointF(0, height), QPointF(0, 0));
    gradient.setColorAt(0.0, Qt::transparent);
    gradient.setColorAt(middleStop(height), faint);
    gradient.setColorAt(1.0, strong);
    QPainter painter(this);
    painter.fillRect(rect(), gradient);
}
