// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The look of one rule button.
enum class ButtonStyle { selectedEnabled = 0, unselectedEnabled = 1, selectedDisabled = 2, unselectedDisabled = 3, add = 4, none = 5 };

namespace ButtonStyles {
QString description(ButtonStyle style);
std::optional<ButtonStyle> fromRawValue(int rawValue);
} // namespace ButtonStyles
