// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonCollectionViewItem.h"

#include "uikit/ButtonImageView.h"
#include "uikit/Layout.h"

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
} // namespace

ButtonCollectionViewItem::ButtonCollectionViewItem(QWidget* parent)
    : QWidget(parent)
    , m_buttonImageView(new ButtonImageView(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    applyLayout(m_buttonImageView, Layout::fillParent);
    setColor(plain(Qt::transparent));
}

void ButtonCollectionViewItem::setStyle(std::optional<ButtonStyle> style)
{
    m_style = style;
    m_buttonImageView->setButtonStyle(style.value_or(ButtonStyle::none));
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
    m_buttonImageView->setLabelColor(resolved);
    // A clear label keeps a clear sub label; otherwise the sub label is fainter.
    setSubColor(resolved.alpha() == 0 ? *color : color->withAlphaComponent(0.8));
    update();
}

void ButtonCollectionViewItem::setSubColor(std::optional<AppearanceColor> color)
{
    m_subColor = color;
    m_buttonImageView->setSubLabelColor(color ? std::optional<QColor>(color->appearanceColor(this)) : std::nullopt);
}

void ButtonCollectionViewItem::setLabel(const QString& label)
{
    m_label = label;
    m_buttonImageView->setLabel(label);
}

void ButtonCollectionViewItem::setSubLabel(const QString& subLabel)
{
    m_subLabel = subLabel;
    m_buttonImageView->setSubLabel(subLabel);
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
    return m_buttonImageView->sizeHint();
}
