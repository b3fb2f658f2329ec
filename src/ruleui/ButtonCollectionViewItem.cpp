#include "ruleui/ButtonCollectionViewItem.h"

#include "uikit/AppImages.h"
#include "uikit/AppStyle.h"
#include "uikit/QColor+contrast.h"

#include <QPainter>
#include <QPainterPath>

namespace {
AppearanceColor plain(const QColor& color)
{
    return AppearanceColor(color, color);
}

std::optional<AppearanceColor> labelColor(ButtonStyle style)
{
    switch (style) {
    case ButtonStyle::selectedEnabled:
    case ButtonStyle::selectedDisabled:
        return plain(Qt::white);
    case ButtonStyle::unselectedEnabled:
        return plain(Qt::gray);
    case ButtonStyle::unselectedDisabled:
        return AppearanceColor(QColor::fromRgbF(0.3f, 0.3f, 0.3f, 1.0f), QColor::fromRgbF(1.0f, 1.0f, 1.0f, 1.0f));
    case ButtonStyle::add:
    case ButtonStyle::none:
        return plain(Qt::transparent);
    }
    return std::nullopt;
}

QColor backgroundColor(ButtonStyle style, const QWidget* view)
{
    switch (style) {
    case ButtonStyle::selectedEnabled: return AppStyle::accentColor();
    case ButtonStyle::unselectedEnabled: return AppStyle::controlUnselectedColor();
    case ButtonStyle::selectedDisabled: return AppStyle::controlSelectedDisabledColor();
    case ButtonStyle::unselectedDisabled: return AppStyle::controlUnselectedDisabledColor().appearanceColor(view);
    case ButtonStyle::add:
    case ButtonStyle::none: return Qt::transparent;
    }
    return Qt::transparent;
}
// The label's colour where it reads on the button, else black or white: the
// grey of an unselected button is faint on its light face.
QColor readable(const QColor& text, const QColor& background)
{
    if (background.alpha() == 0 || text.alpha() == 0)
        return text;
    const qreal ratio = std::max(ColorContrast::contrast(text, background), ColorContrast::contrast(background, text));
    if (ratio >= 3.0)
        return text;
    QColor replacement = ColorContrast::contrastColor(background);
    replacement.setAlphaF(text.alphaF());
    return replacement;
}
} // namespace

ButtonCollectionViewItem::ButtonCollectionViewItem(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setColor(plain(Qt::transparent));
}

void ButtonCollectionViewItem::setStyle(std::optional<ButtonStyle> style)
{
    m_style = style;
    if (style) {
        setColor(labelColor(*style));
        if (*style == ButtonStyle::add) {
            setLabel(QStringLiteral("Add"));
        } else if (*style == ButtonStyle::none) {
            setLabel(QString());
            setSubLabel(QString());
        }
    }
    update();
}

void ButtonCollectionViewItem::setColor(std::optional<AppearanceColor> color)
{
    m_color = color;
    if (!color)
        return;
    const QColor resolved = color->appearanceColor(this);
    // A clear label keeps a clear sub label; otherwise the sub label is fainter.
    setSubColor(resolved.alpha() == 0 ? *color : color->withAlphaComponent(0.8));
    update();
}

void ButtonCollectionViewItem::setSubColor(std::optional<AppearanceColor> color)
{
    m_subColor = color;
    update();
}

void ButtonCollectionViewItem::setLabel(const QString& label)
{
    m_label = label;
    updateGeometry();
    update();
}

void ButtonCollectionViewItem::setSubLabel(const QString& subLabel)
{
    m_subLabel = subLabel;
    update();
}

void ButtonCollectionViewItem::setSelected(bool selected)
{
    m_selected = selected;
    if (m_style == ButtonStyle::add)
        return;
    const bool disabled = m_transformer && m_transformer->disabled;
    if (disabled)
        setStyle(selected ? ButtonStyle::selectedDisabled : ButtonStyle::unselectedDisabled);
    else
        setStyle(selected ? ButtonStyle::selectedEnabled : ButtonStyle::unselectedEnabled);
}

void ButtonCollectionViewItem::prepareForReuse()
{
    setSelected(false);
    setStyle(ButtonStyle::none);
}

QSize ButtonCollectionViewItem::sizeHint() const
{
    // At least the classic size; more for a larger font or a longer label.
    QFont labelFont = font();
    labelFont.setBold(true);
    const QFontMetrics metrics(labelFont);
    const int height = std::max(44, metrics.height() * 2 + 14);
    if (m_style == ButtonStyle::add)
        return QSize(height, height);
    return QSize(std::max(84, metrics.horizontalAdvance(m_label) + 24), height);
}

void ButtonCollectionViewItem::paintEvent(QPaintEvent*)
{
    if (!m_style || *m_style == ButtonStyle::none)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(2, 4, -2, -4);
    if (*m_style == ButtonStyle::add) {
        AppImages::plusCircle().paint(&painter, frame.toRect(), Qt::AlignCenter);
        return;
    }
    QPainterPath path;
    path.addRoundedRect(frame, 6, 6);
    const QColor background = backgroundColor(*m_style, this);
    painter.fillPath(path, background);
    QFont labelFont = font();
    labelFont.setBold(true);
    painter.setFont(labelFont);
    painter.setPen(readable(m_color ? m_color->appearanceColor(this) : QColor(Qt::black), background));
    painter.drawText(frame.adjusted(0, 0, 0, -frame.height() / 3), Qt::AlignCenter, m_label);
    QFont subFont = font();
    subFont.setPointSizeF(std::max<qreal>(7, font().pointSizeF() - 3));
    painter.setFont(subFont);
    painter.setPen(readable(m_subColor ? m_subColor->appearanceColor(this) : QColor(Qt::gray), background));
    painter.drawText(frame.adjusted(0, frame.height() / 2, 0, 0), Qt::AlignCenter, m_subLabel);
}
