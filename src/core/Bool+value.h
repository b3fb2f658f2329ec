// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <Qt>

// Truth values read from loosely typed stored values.
namespace Bool {

// True for the texts "true" and "1" (exactly) and for a stored true.
bool fromString(const QVariant& value);

inline Qt::CheckState stateValue(bool value)
{
    return value ? Qt::Checked : Qt::Unchecked;
}

} // namespace Bool
