// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/UInt64+format.h"

#include "core/Int+format.h"

#include <algorithm>

namespace UInt64 {

QString formatHexadecimal(quint64 value, int digits)
{
    return QString::asprintf("%0*llX", std::clamp(digits, 0, Int::MAX_DIGITS), static_cast<unsigned long long>(value));
}

} // namespace UInt64
