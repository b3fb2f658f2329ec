// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ViewTree.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace ViewTree {

namespace {
QList<QWidget*> childWidgets(const QWidget* view)
{
    return view->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

template <typename Node>
QList<Node*> descendants(const Node* node, const std::function<QList<Node*>(const Node*)>& childrenOf)
{
    const QList<Node*> children = childrenOf(node);
    QList<Node*> all = children;
    for (Node* child : children)
        all += descendants<Node>(child, childrenOf);
    return all;
}
} // namespace

bool isControl(const QWidget* widget)
{
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget)
        || qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget);
}

QList<QWidget*> controls(const QWidget* view)
{
    QList<QWidget*> result;
    for (QWidget* child : childWidgets(view)) {
        if (isControl(child))
            result << child;
        for (QWidget* grandchild : childWidgets(child))
            if (isControl(grandchild))
                result << grandchild;
    }
    return result;
}

QList<QWidget*> allSubViews(const QWidget* view)
{
    return descendants<QWidget>(view, childWidgets);
}

QWidget* child(const QWidget* view, const std::function<bool(QWidget*)>& predicate)
{
    for (QWidget* candidate : allSubViews(view))
        if (predicate(candidate))
            return candidate;
    return nullptr;
}

QList<QObject*> allChildren(const QObject* controller)
{
    return descendants<QObject>(controller, [](const QObject* node) { return node->children(); });
}

QObject* child(const QObject* controller, const std::function<bool(QObject*)>& predicate)
{
    for (QObject* candidate : allChildren(controller))
        if (predicate(candidate))
            return candidate;
    return nullptr;
}

bool isFirstResponder(const QWidget* control)
{
    if (!control)
        return false;
    const QWidget* window = control->window();
    return window && window->focusWidget() == control;
}

QList<QWidget*> tabStops(const QWidget* view)
{
    QList<QWidget*> stops;
    if (!view)
        return stops;
    const auto takesTab = [view](const QWidget* widget) {
        return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisibleTo(view);
    };
    for (QWidget* widget = view->nextInFocusChain(); widget && widget != view; widget = widget->nextInFocusChain()) {
        if (!view->isAncestorOf(widget) || !takesTab(widget))
            continue;
        // The inner editor of a field or a spin box is part of that control's stop.
        bool inner = false;
        for (QWidget* ancestor = widget->parentWidget(); ancestor && ancestor != view; ancestor = ancestor->parentWidget())
            inner = inner || (ancestor->focusPolicy() & Qt::TabFocus);
        if (!inner && !stops.contains(widget))
            stops << widget;
    }
    return stops;
}

} // namespace ViewTree
