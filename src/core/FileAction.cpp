// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FileAction.h"

QString rawValue(FileAction action)
{
    switch (action) {
    case FileAction::replace: return QStringLiteral("Open");
    case FileAction::append: return QStringLiteral("Append");
    case FileAction::remove: return QStringLiteral("Remove");
    case FileAction::move: return QStringLiteral("Move");
    case FileAction::clear: return QStringLiteral("Clear");
    }
    return {};
}
