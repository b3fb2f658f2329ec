// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace UInt64 {

// Upper-case hexadecimal digits of the whole value, zero-padded to `digits`.
QString formatHexadecimal(quint64 value, int digits);

} // namespace UInt64
