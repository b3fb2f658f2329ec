// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AccessiblePopups.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace {

class ApplicationWithPopups final : public QAccessibleObject {
public:
    ApplicationWithPopups()
        : QAccessibleObject(qApp)
    {
    }

    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return nullptr; }
    int childCount() const override { return int(topLevelObjects().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(topLevelObjects().indexOf(child->object())) : -1;
    }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QObject*> objects = topLevelObjects();
        return index >= 0 && index < objects.size() ? QAccessible::queryAccessibleInterface(objects.at(index)) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? QAccessible::queryAccessibleInterface(focus->window()) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return QGuiApplication::applicationDisplayName();
        case QAccessible::Description: return QGuiApplication::applicationName();
        default: return QString();
        }
    }
    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }

private:
    static QList<QObject*> topLevelObjects()
    {
        QList<QObject*> objects;
        const QWindowList windows = QGuiApplication::topLevelWindows();
        for (QWindow* window : windows) {
            if (window->type() == Qt::Desktop || (window->type() == Qt::Popup && !window->isVisible()))
                continue;
            if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
                objects << root->object();
        }
        return objects;
    }
};

QAccessibleInterface* applicationFactory(const QString&, QObject* object)
{
    return object && object == qApp ? new ApplicationWithPopups : nullptr;
}

} // namespace

void AccessiblePopups::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(applicationFactory);
}
