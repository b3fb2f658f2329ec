// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/ControlRole.h"

#include <QVariant>
#include <QWidget>

namespace ControlRole {

qint64 tag(const QWidget* control)
{
    return control ? control->property("tag").toLongLong() : 0;
}

void setTag(QWidget* control, qint64 tag)
{
    if (control)
        control->setProperty("tag", tag);
}

bool hasRole(const QWidget* control, RoleTag role)
{
    return tag(control) == static_cast<qint64>(role);
}

void assignRole(QWidget* control, RoleTag role)
{
    setTag(control, static_cast<qint64>(role));
}

} // namespace ControlRole
