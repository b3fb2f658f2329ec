// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QWidget;

// Fills the controls of the rule editors from a rule's settings.
namespace ViewUtil {

void populateControl(QLineEdit* control, const std::optional<QString>& value, const QString& defaultValue);
void populateControl(QLineEdit* control, std::optional<int> value, int defaultValue);
void populateControl(QSpinBox* control, std::optional<int> value, int defaultValue);
// Checked for true; unchecked for false and for no value.
void populateControl(QAbstractButton* control, std::optional<bool> value);

// Selects the item titled map[value]; changes nothing when the value is not a key.
void populateSelector(QComboBox* selector, const QMap<QString, QString>& map, const std::optional<QString>& value);
// Selects the item at the index of the value in `values`; item 0 when it is not there.
void populateSelector(QComboBox* selector, const QStringList& values, const std::optional<QString>& value);

// Gives a control its accessible name and its tool tip (the name when no tip is given).
void describe(QWidget* control, const QString& name, const QString& toolTip = QString());

// Value to key; of keys that share a value, the last in key order wins.
QMap<QString, QString> mapByValue(const QMap<QString, QString>& map);

} // namespace ViewUtil
