// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SidePanel.h"

namespace SidePanels {

std::optional<SidePanel> fromRawValue(int value)
{
    if (value < rawValue(SidePanel::none) || value > rawValue(SidePanel::tokenAttributes))
        return std::nullopt;
    return static_cast<SidePanel>(value);
}

} // namespace SidePanels
