// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

// Date and number texts for file names, through ICU in the user's current
// locale (month names, digits, separators), and the time zones they use.
namespace LocaleFormat {

// The identifier of the current time zone, for example "Europe/Berlin".
QString currentTimeZoneId();
// Whether the time zone database knows the identifier.
bool isKnownTimeZone(const QString& identifier);

// The date written with a TR35 pattern ("yyyy-MM-dd HH:mm") in the given zone.
QString formatDate(const QDateTime& date, const QString& pattern, const QString& timeZoneId);

// A number (qint64, quint64 or double held in the variant) as its double; none
// for anything else.
std::optional<double> doubleValue(const QVariant& number);
// The number's own text: "3", "0.004", "1e+20".
QString description(const QVariant& number);

// A whole number with at least `minimumIntegerDigits` digits, no grouping,
// fractions rounded away (7 with 3 gives "007"); none for NaN or infinity.
// 64-bit integers are written exactly, beyond the precision of a double.
std::optional<QString> formatInteger(const QVariant& number, int minimumIntegerDigits);

} // namespace LocaleFormat
