// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// Texts of signed 64-bit numbers for counters, track numbers and offsets, and
// integers read back from loosely typed stored values.
namespace Int {

// Widths beyond a file name's 255 bytes make no valid name; larger requests
// are cut to this so a typing slip cannot exhaust memory.
inline constexpr int MAX_DIGITS = 255;

QString formatDecimal(qint64 number, int digits);
QString formatHexadecimal(qint64 number, int digits);
QString formatAlphabethical(qint64 number, int digits);
QString bijectiveAlphabethical(qint64 number);
QString formatRoman(qint64 number, int digits);
// "+05:30" for an offset of 19800 seconds.
QString formattedTimeZoneOffset(qint64 seconds);
qint64 clamp(qint64 number, qint64 min, qint64 max);
// English description of an EXIF Flash value.
QString flashDescription(qint64 value);

// A stored value as an integer: a decimal text with an optional sign, or an
// integer; anything else gives the fallback.
qint64 fromString(const QVariant& value);
qint64 fromString(const QVariant& value, qint64 defaultValue);
// The same, with nothing for unreadable text: the zone, ISO and track readers
// must tell a missing number from 0.
std::optional<qint64> fromOptional(const QVariant& value);

} // namespace Int
