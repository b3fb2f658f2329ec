// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/NamedComboBox.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AccessibleNamedComboBox final : public QAccessibleWidget {
public:
    explicit AccessibleNamedComboBox(NamedComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const auto* box = static_cast<const QComboBox*>(widget());
        switch (t) {
        case QAccessible::Name:
            return box->accessibleName().isEmpty() ? box->currentText() : box->accessibleName();
        case QAccessible::Value:
            return box->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    // The pop-up list is a window of its own, heard when it opens.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override { return { showMenuAction(), pressAction() }; }
    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction())
            static_cast<QComboBox*>(widget())->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
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
