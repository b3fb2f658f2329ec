// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Bool+value.h"

namespace Bool {

bool fromString(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        return text == QLatin1String("true") || text == QLatin1String("1");
    }
    case QMetaType::Bool:
        return value.toBool();
    default:
        return false;
    }
}

} // namespace Bool
