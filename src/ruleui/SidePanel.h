// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The panels the side panel can show; the raw values are stored nowhere but
// fixed all the same.
enum class SidePanel { none = -1, fileInspector = 0, lookupTable = 1, tokenAttributes = 2 };

namespace SidePanels {

// None for a raw value outside -1 to 2.
std::optional<SidePanel> fromRawValue(int value);
inline int rawValue(SidePanel panel) { return static_cast<int>(panel); }

} // namespace SidePanels
