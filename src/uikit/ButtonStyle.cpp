// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ButtonStyle.h"

namespace ButtonStyles {

QString description(ButtonStyle style)
{
    switch (style) {
    case ButtonStyle::selectedEnabled: return QStringLiteral("selectedEnabled");
    case ButtonStyle::unselectedEnabled: return QStringLiteral("unselectedEnabled");
    case ButtonStyle::selectedDisabled: return QStringLiteral("selectedDisabled");
    case ButtonStyle::unselectedDisabled: return QStringLiteral("unselectedDisabled");
    case ButtonStyle::add: return QStringLiteral("add");
    case ButtonStyle::none: return QString();
    }
    return QString();
}

std::optional<ButtonStyle> fromRawValue(int rawValue)
{
    if (rawValue < 0 || rawValue > 5)
        return std::nullopt;
    return static_cast<ButtonStyle>(rawValue);
}

} // namespace ButtonStyles
