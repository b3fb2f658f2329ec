// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ButtonImageView.h"

#include "uikit/AppImages.h"
#include "uikit/AppStyle.h"
#include "uikit/QColor+contrast.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStringList>

ButtonImageView::ButtonImageView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    renewAccessibility();
}

void ButtonImageView::setButtonStyle(std::optional<ButtonStyle> style)
{
    m_buttonStyle = style;
    update();
    renewAccessibility();
}

void ButtonImageView::setLabel(std::optional<QString> label)
{
    m_label = std::move(label);
    update();
    renewAccessibility();
}

void ButtonImageView::setSubLabel(std::optional<QString> subLabel)
{
    m_subLabel = std::move(subLabel);
    update();
    renewAccessibility();
}

void ButtonImageView::setLabelColor(std::optional<QColor> color)
{
    m_labelColor = color;
    update();
}

void ButtonImageView::setSubLabelColor(std::optional<QColor> color)
{
    m_subLabelColor = color;
    update();
}

bool ButtonImageView::isSelected() const
{
    return m_buttonStyle == ButtonStyle::selectedEnabled || m_buttonStyle == ButtonStyle::selectedDisabled;
}

QString ButtonImageView::accessibilityId() const
{
    return m_label == QStringLiteral("add") ? QStringLiteral("AddButtonImageView") : QStringLiteral("ButtonImageView");
}

QString ButtonImageView::accessibilityDescription() const
{
    const QString style = m_buttonStyle ? ButtonStyles::description(*m_buttonStyle) : QStringLiteral("none");
    return m_label.value_or(QString()) + QLatin1Char(':') + m_subLabel.value_or(QString()) + QLatin1Char(':') + style;
}

QString ButtonImageView::spokenDescription() const
{
    if (m_buttonStyle == ButtonStyle::add)
        return QStringLiteral("Add");
    QStringList words;
    for (const std::optional<QString>& text : { m_label, m_subLabel })
        if (text && !text->isEmpty())
            words << *text;
    if (isSelected())
        words << QStringLiteral("selected");
    if (m_buttonStyle == ButtonStyle::selectedDisabled || m_buttonStyle == ButtonStyle::unselectedDisabled)
        words << QStringLiteral("disabled");
    return words.join(QStringLiteral(", "));
}

void ButtonImageView::renewAccessibility()
{
    setAccessibleName(spokenDescription());
    setObjectName(accessibilityId());
}

std::optional<QColor> ButtonImageView::fillColor() const
{
    if (!m_buttonStyle)
        return std::nullopt;
    switch (*m_buttonStyle) {
    case ButtonStyle::selectedEnabled: return AppStyle::accentColor();
    case ButtonStyle::unselectedEnabled: return AppStyle::controlUnselectedColor();
    case ButtonStyle::selectedDisabled: return AppStyle::controlSelectedDisabledColor();
    case ButtonStyle::unselectedDisabled: return AppStyle::controlUnselectedDisabledColor().appearanceColor(this);
    case ButtonStyle::none: return palette().color(QPalette::Light);
    case ButtonStyle::add: return std::nullopt;
    }
    return std::nullopt;
}

QColor ButtonImageView::textColor() const
{
    const QColor fill = fillColor().value_or(palette().color(QPalette::Button));
    if (ColorContrast::luminance(fill) > 0.8)
        return ColorContrast::contrastColor(fill);
    return palette().color(QPalette::Active, QPalette::HighlightedText);
}

// Qt counts y downwards: a point `y` above the bottom edge lies at height() - y.
QPainterPath ButtonImageView::outline() const
{
    const qreal h = height();
    const qreal left = 0;
    const qreal right = TAB_WIDTH;
    const qreal bottom = h - TAB_BOTTOM;
    const qreal top = h - TAB_BOTTOM - TAB_HEIGHT;
    const qreal middle = h - TAB_BOTTOM - TAB_HEIGHT / 2.0;
    QPainterPath path;
    path.moveTo(left, bottom);
    path.lineTo(right - 10, bottom);
    path.lineTo(right, middle);
    path.lineTo(right - 10, top);
    path.lineTo(left, top);
    path.lineTo(left + 10, middle);
    path.closeSubpath();
    return path;
}

void ButtonImageView::paintEvent(QPaintEvent*)
{
    if (isSelected() && parentWidget() && parentWidget()->isVisible())
        emit updateSelectorLocation(parentWidget());

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline();
    const qreal h = height();
    if (!m_buttonStyle || *m_buttonStyle == ButtonStyle::add) {
        QColor faint = palette().color(QPalette::ButtonText);
        faint.setAlphaF(0.3f);
        painter.setPen(QPen(faint, 1));
        painter.drawPath(path);
        if (m_buttonStyle == ButtonStyle::add) {
            // The ⊕ in the text colour: it stands out of light and dark palettes alike.
            const QRectF square(22, h - 27 - 26, 26, 26);
            painter.setPen(QPen(palette().color(QPalette::ButtonText), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(square.adjusted(2, 2, -2, -2));
            const QPointF centre = square.center();
            painter.drawLine(centre - QPointF(6, 0), centre + QPointF(6, 0));
            painter.drawLine(centre - QPointF(0, 6), centre + QPointF(0, 6));
        }
        return;
    }

    const QColor fill = *fillColor();
    // The soft shadow below and right of the tab.
    QColor shadow(Qt::black);
    shadow.setAlphaF(0.2f);
    painter.fillPath(path.translated(2, 2), shadow);
    fillControlGradient(painter, path, fill);

    // The tab has a fixed size in pixels, so its texts do too.
    QFont font = this->font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(textColor());
    const qreal middle = h - TAB_BOTTOM - TAB_HEIGHT / 2.0;
    painter.drawText(QRectF(3, middle - 14, TAB_WIDTH, 14), Qt::AlignHCenter | Qt::AlignVCenter, m_label.value_or(QString()));
    painter.drawText(QRectF(3, middle, TAB_WIDTH, 14), Qt::AlignHCenter | Qt::AlignVCenter, m_subLabel.value_or(QString()));
}

void ButtonImageView::fillControlGradient(QPainter& painter, const QPainterPath& clipPath, const QColor& color) const
{
    const QColor light = AppStyle::highlighted(color, 1.0);
    const QColor dark = AppStyle::shaded(color, 0.2);
    painter.save();
    painter.setPen(QPen(AppStyle::strokeColor(this), 1));
    painter.drawPath(clipPath);
    // Dark at the bottom edge, the fill at 80 % of the height, light at the top.
    QLinearGradient gradient(0, height(), 0, 0);
    gradient.setColorAt(0.0, dark);
    gradient.setColorAt(0.8, color);
    gradient.setColorAt(1.0, light);
    painter.setClipPath(clipPath);
    painter.fillRect(rect(), gradient);
    painter.restore();
}

QImage ButtonImageView::image()
{
    QImage picture(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatioF());
    picture.fill(Qt::transparent);
    if (height() <= 9)
        return picture;
    // Only the button itself, without the background of the window.
    render(&picture, QPoint(0, 9), QRegion(0, 0, width(), height() - 9), QWidget::DrawChildren);
    return picture;
}
