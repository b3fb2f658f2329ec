// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/EaseUtils.h"

#include <cmath>

namespace EaseUtils {

double quinticEaseInOut(double t)
{
    if (t < 0.5)
        return 16.0 * std::pow(t, 5);
    const double u = 2.0 * t - 2.0;
    return 0.5 * std::pow(u, 5) + 1.0;
}

} // namespace EaseUtils
