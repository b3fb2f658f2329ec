// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/Layout.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {
// Follows the parent's size; ends when the view moves to another parent.
class FillParentFollower final : public QObject {
public:
    FillParentFollower(QWidget* view, QWidget* parent)
        : QObject(view)
        , m_view(view)
        , m_parent(parent)
    {
        setObjectName(QStringLiteral("FillParentFollower"));
        parent->installEventFilter(this);
        view->installEventFilter(this);
        m_view->setGeometry(parent->rect());
    }

    ~FillParentFollower() override
    {
        if (m_parent)
            m_parent->removeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_parent && event->type() == QEvent::Resize && m_view)
            m_view->setGeometry(m_parent->rect());
        if (watched == m_view && event->type() == QEvent::ParentChange && m_view->parentWidget() != m_parent)
            deleteLater();
        return false;
    }

private:
    QPointer<QWidget> m_view;
    QPointer<QWidget> m_parent;
};
} // namespace

void FillParentLayout::initLayout(QWidget* view) const
{
    if (!view || !view->parentWidget())
        return;
    for (auto* earlier : view->findChildren<FillParentFollower*>(QString(), Qt::FindDirectChildrenOnly))
        delete earlier;
    new FillParentFollower(view, view->parentWidget());
}

void applyLayout(QWidget* view, Layout layout)
{
    switch (layout) {
    case Layout::fillParent:
        FillParentLayout().initLayout(view);
        break;
    }
}
