// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// A way of placing a view in its parent.
class ViewLayout {
public:
    virtual ~ViewLayout() = default;
    virtual void initLayout(QWidget* view) const = 0;
};

// Keeps the view covering its parent's whole area, whatever else the parent
// holds. Nothing happens for a view without a parent.
class FillParentLayout final : public ViewLayout {
public:
    void initLayout(QWidget* view) const override;
};

enum class Layout { fillParent };

void applyLayout(QWidget* view, Layout layout);
