// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace EaseUtils {

// 16 t^5 below 0.5, else 0.5 (2t - 2)^5 + 1; inputs are not clamped.
double quinticEaseInOut(double t);

} // namespace EaseUtils
