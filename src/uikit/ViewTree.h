// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QWidget>

#include <functional>

// Walks of widget and controller trees.
namespace ViewTree {

// The input controls of a view: its children and grandchildren (no deeper), in
// order, that are buttons, combo boxes, spin boxes, sliders or editable text
// fields. Labels and read-only text fields are left out.
QList<QWidget*> controls(const QWidget* view);
bool isControl(const QWidget* widget);

// Every descendant widget: the children in order, then the descendants of the
// first child, then of the second, and so on.
QList<QWidget*> allSubViews(const QWidget* view);
QWidget* child(const QWidget* view, const std::function<bool(QWidget*)>& predicate);

// The same walk over any object tree (controllers own their child controllers).
QList<QObject*> allChildren(const QObject* controller);
QObject* child(const QObject* controller, const std::function<bool(QObject*)>& predicate);

// The controls inside `view` that Tab stops at, in the order of the focus
// chain; a compound control (a field with an inner editor) is one stop.
QList<QWidget*> tabStops(const QWidget* view);

// True when the control is the focus widget of its window.
bool isFirstResponder(const QWidget* control);

// The nearest ancestor (the view itself excluded) of kind T that satisfies the predicate.
template <typename T>
T* superview(const QWidget* view, const std::function<bool(T*)>& predicate = {})
{
    for (QWidget* ancestor = view ? view->parentWidget() : nullptr; ancestor; ancestor = ancestor->parentWidget())
        if (auto* match = qobject_cast<T*>(ancestor); match && (!predicate || predicate(match)))
            return match;
    return nullptr;
}

} // namespace ViewTree
