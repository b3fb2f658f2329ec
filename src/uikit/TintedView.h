// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

// Covers its parent with the tint fading in from clear at the bottom to its
// strongest along the top edge.
class TintedView : public QWidget {
    Q_OBJECT
public:
    explicit TintedView(QWidget* parent = nullptr);

    std::optional<QColor> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<QColor> color);

    // Where the faint tint begins, measured from the bottom: 0.8 up to 200 pixels
    // high, nearer to 1.0 for taller views.
    static qreal middleStop(qreal height);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> m_tintColor;
};
