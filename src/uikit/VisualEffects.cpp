// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/VisualEffects.h"

#include "uikit/AppStyle.h"
#include "uikit/TintedView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

VisualEffectView::VisualEffectView(QWidget* parent)
    : QWidget(parent)
{
    m_tintedView = new TintedView(this);
}

void VisualEffectView::paintEvent(QPaintEvent*)
{
    // Rounded on the right only: the panel's left edge meets the window's side.
    const QRectF area = rect();
    const qreal r = std::min({ CORNER_RADIUS, area.width() / 2, area.height() / 2 });
    QPainterPath path;
    path.moveTo(area.topLeft());
    path.lineTo(area.right() - r, area.top());
    path.arcTo(QRectF(area.right() - 2 * r, area.top(), 2 * r, 2 * r), 90, -90);
    path.lineTo(area.right(), area.bottom() - r);
    path.arcTo(QRectF(area.right() - 2 * r, area.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
    path.lineTo(area.bottomLeft());
    path.closeSubpath();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, palette().color(QPalette::Window));
}

namespace VisualEffects {

VisualEffectView* setupVisualEffects(std::optional<QColor> tintColor, QWidget* parent)
{
    auto* effectView = new VisualEffectView(parent);
    effectView->tintedView()->setTintColor(tintColor.value_or(AppStyle::accentColor()));
    return effectView;
}

} // namespace VisualEffects
