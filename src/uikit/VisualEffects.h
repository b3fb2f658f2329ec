// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

class TintedView;

// The side panel's background: the window colour with the two right-hand
// corners rounded, under a tint that fades in towards the top.
class VisualEffectView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal CORNER_RADIUS = 16.0;

    explicit VisualEffectView(QWidget* parent = nullptr);
    TintedView* tintedView() const { return m_tintedView; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TintedView* m_tintedView = nullptr;
};

namespace VisualEffects {

// Makes the view a panel controller shows; the tint defaults to the accent colour.
VisualEffectView* setupVisualEffects(std::optional<QColor> tintColor = std::nullopt, QWidget* parent = nullptr);

} // namespace VisualEffects
