// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/NamedComboBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace {

class AccessibleNamedComboBox final : public QAccessibleWidget {
public:
    explicit AccessibleNamedComboBox(NamedComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return box()->accessibleName().isEmpty() ? box()->currentText() : box()->accessibleName();
        case QAccessible::Value:
            return box()->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    // The pop-up list is a window of its own, heard when it opens; only the
    // text field of an editable box is a child.
    int childCount() const override { return box()->lineEdit() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && box()->lineEdit() ? QAccessible::queryAccessibleInterface(box()->lineEdit()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && box()->lineEdit() && child->object() == box()->lineEdit() ? 0 : -1;
    }

    QStringList actionNames() const override { return { showMenuAction(), pressAction() }; }
    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction())
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* namedComboBoxFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("NamedComboBox"))
        if (auto* box = qobject_cast<NamedComboBox*>(object))
            return new AccessibleNamedComboBox(box);
    return nullptr;
}

} // namespace

NamedComboBox::NamedComboBox(QWidget* parent)
    : QComboBox(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(namedComboBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
