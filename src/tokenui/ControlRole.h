// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QWidget;

// The token kinds a control accepts, kept in its tag (the "tag" property).
enum class RoleTag : qint64 {
    attributeTokenSupport = 0x100000000,
    regexTokenSupport = 0x100000001,
};

namespace ControlRole {

qint64 tag(const QWidget* control);
void setTag(QWidget* control, qint64 tag);
bool hasRole(const QWidget* control, RoleTag role);
void assignRole(QWidget* control, RoleTag role);

} // namespace ControlRole
