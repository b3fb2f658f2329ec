// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ViewUtil.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>

namespace ViewUtil {

void populateControl(QLineEdit* control, const std::optional<QString>& value, const QString& defaultValue)
{
    control->setText(value.value_or(defaultValue));
}

void populateControl(QLineEdit* control, std::optional<int> value, int defaultValue)
{
    control->setText(QString::number(value.value_or(defaultValue)));
}

void populateControl(QSpinBox* control, std::optional<int> value, int defaultValue)
{
    control->setValue(value.value_or(defaultValue));
}

void populateControl(QAbstractButton* control, std::optional<bool> value)
{
    control->setChecked(value.value_or(false));
}

void populateSelector(QComboBox* selector, const QMap<QString, QString>& map, const std::optional<QString>& value)
{
    const auto found = map.constFind(value.value_or(QString()));
    if (found == map.constEnd())
        return;
    const int index = selector->findText(found.value(), Qt::MatchExactly);
    if (index >= 0)
        selector->setCurrentIndex(index);
}

void populateSelector(QComboBox* selector, const QStringList& values, const std::optional<QString>& value)
{
    const int index = static_cast<int>(values.indexOf(value.value_or(QString())));
    selector->setCurrentIndex(index >= 0 ? index : 0);
}

void describe(QWidget* control, const QString& name, const QString& toolTip)
{
    control->setAccessibleName(name);
    control->setToolTip(toolTip.isEmpty() ? name : toolTip);
    // A field whose inner editor takes the focus is heard by that editor's name.
    if (QWidget* inner = control->focusProxy(); inner && control->isAncestorOf(inner))
        describe(inner, name, toolTip);
}

QMap<QString, QString> mapByValue(const QMap<QString, QString>& map)
{
    QMap<QString, QString> inverted;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        inverted.insert(it.value(), it.key());
    return inverted;
}

} // namespace ViewUtil
