// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "uikit/ButtonStyle.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>

class QPainter;
class QPainterPath;

// The painted face of one rule button: a tab pointing right with a gradient,
// a soft shadow and two short texts, or, for the button that adds a rule, a
// faint outline with a plus symbol. The owner sets the style and the texts.
class ButtonImageView : public QWidget {
    Q_OBJECT
public:
    // The tab's fixed place, counted from the bottom-left corner of the view.
    static constexpr int TAB_WIDTH = 64;
    static constexpr int TAB_HEIGHT = 64;
    static constexpr int TAB_BOTTOM = 8;

    explicit ButtonImageView(QWidget* parent = nullptr);

    const std::optional<ButtonStyle>& buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(std::optional<ButtonStyle> style);
    const std::optional<QString>& label() const { return m_label; }
    void setLabel(std::optional<QString> label);
    const std::optional<QString>& subLabel() const { return m_subLabel; }
    void setSubLabel(std::optional<QString> subLabel);
    // Kept for the owner; the drawn text colour follows the fill.
    const std::optional<QColor>& labelColor() const { return m_labelColor; }
    void setLabelColor(std::optional<QColor> color);
    const std::optional<QColor>& subLabelColor() const { return m_subLabelColor; }
    void setSubLabelColor(std::optional<QColor> color);

    bool isSelected() const;
    QString accessibilityId() const;
    QString accessibilityDescription() const;
    // What a screen reader says: the labels and the state in words, not the
    // identifier text above.
    QString spokenDescription() const;

    // The fill of a styled tab, and the colour its texts are drawn in.
    std::optional<QColor> fillColor() const;
    QColor textColor() const;

    // A picture of the view for dragging: the view from 9 pixels above its
    // bottom edge upwards, moved down by 9, so the top 9 rows stay clear.
    QImage image();

    QSize sizeHint() const override { return QSize(TAB_WIDTH + 4, TAB_HEIGHT + TAB_BOTTOM + 2); }

signals:
    // A selected button is about to be drawn: the bar places its selector
    // line under `sender` (the view's parent).
    void updateSelectorLocation(QWidget* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void renewAccessibility();
    QPainterPath outline() const;
    void fillControlGradient(QPainter& painter, const QPainterPath& clipPath, const QColor& color) const;

    std::optional<ButtonStyle> m_buttonStyle;
    std::optional<QString> m_label;
    std::optional<QString> m_subLabel;
    std::optional<QColor> m_labelColor;
    std::optional<QColor> m_subLabelColor;
};
