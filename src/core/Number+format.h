// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Texts of numbers shown to the user (sizes, rounded measures, time spans).
// The user's locale decides the decimal separator.
namespace Number {

// A byte count in file style: decimal units, "Zero KB" for nothing. A negative
// size has no meaning and reads as zero.
QString formattedFileSize(qint64 bytes);

// Rounded half away from zero with a factor of 10 ... 100000 for 1 to 5
// decimals and 1000000 for any other count.
double rounded(double value, int decimals);

// At most `maxDecimals` decimals, no trailing zeros, no grouping; none for a
// value that is not finite.
std::optional<QString> format(double value, int maxDecimals);
// The integer part padded with zeros to `minDigits` digits.
std::optional<QString> formatMaxDigits(double value, int minDigits);

} // namespace Number

namespace Double {

// Rounded half away from zero to `decimals` decimals (negative: tens, ...).
double rounded(double value, int decimals);

// "1:250", "2.3s", "1m30s", "1h2m5s".
QString formattedTimespan(double seconds, int decimalsForSeconds);

} // namespace Double
