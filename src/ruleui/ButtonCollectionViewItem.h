// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformer.h"
#include "uikit/ButtonStyle.h"
#include "uikit/AppearanceColor.h"

#include <QWidget>

#include <optional>

class ButtonImageView;

// One rule button of the bar: the kind's label, the scope as a small second
// text, and a look that follows selection and the rule's enabled state. The
// trailing "Add" button is an item of style `add`. Clicks and drags are the
// bar's (ButtonCollectionView).
class ButtonCollectionViewItem : public QWidget {
    Q_OBJECT
public:
    explicit ButtonCollectionViewItem(QWidget* parent = nullptr);

    const std::optional<Transformer>& transformer() const { return m_transformer; }
    void setTransformer(const std::optional<Transformer>& transformer) { m_transformer = transformer; }

    std::optional<ButtonStyle> style() const { return m_style; }
    void setStyle(std::optional<ButtonStyle> style);
    std::optional<AppearanceColor> color() const { return m_color; }
    void setColor(std::optional<AppearanceColor> color);
    std::optional<AppearanceColor> subColor() const { return m_subColor; }
    void setSubColor(std::optional<AppearanceColor> color);
    QString label() const { return m_label; }
    void setLabel(const QString& label);
    QString subLabel() const { return m_subLabel; }
    void setSubLabel(const QString& subLabel);

    bool isSelected() const { return m_selected; }
    // Keeps the style of the "Add" button; otherwise picks the selected or
    // unselected variant of the rule's enabled state.
    void setSelected(bool selected);
    void prepareForReuse();

    // The painted face of the button; it fills the item.
    ButtonImageView* buttonImageView() const { return m_buttonImageView; }

    QSize sizeHint() const override;
    // A squeezed bar would draw the two label lines over each other.
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    ButtonImageView* m_buttonImageView;
    std::optional<Transformer> m_transformer;
    std::optional<ButtonStyle> m_style;
    std::optional<AppearanceColor> m_color;
    std::optional<AppearanceColor> m_subColor;
    QString m_label;
    QString m_subLabel;
    bool m_selected = false;
};
