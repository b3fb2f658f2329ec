// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Int+format.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

int width(int digits)
{
    return std::clamp(digits, 0, Int::MAX_DIGITS);
}

// The magnitude of any 64-bit number, the most negative one included.
quint64 magnitude(qint64 number)
{
    return number < 0 ? quint64(0) - quint64(number) : quint64(number);
}

QString padded(const QString& text, int digits)
{
    const int w = width(digits);
    return text.size() < w ? QString(w - text.size(), QLatin1Char(' ')) + text : text;
}

} // namespace

namespace Int {

QString formatDecimal(qint64 number, int digits)
{
    const int w = width(digits) + (number < 0 ? 1 : 0);
    return QString::asprintf("%0*lld", w, static_cast<long long>(number));
}

QString formatHexadecimal(qint64 number, int digits)
{
    QString hex = QString::number(magnitude(number), 16).toUpper();
    const int w = width(digits);
    if (hex.size() < w)
        hex.prepend(QString(w - hex.size(), QLatin1Char('0')));
    return number < 0 ? QLatin1Char('-') + hex : hex;
}

QString bijectiveAlphabethical(qint64 number)
{
    quint64 n = number < 1 ? magnitude(number) + 1 : quint64(number);
    QString letters;
    while (true) {
        letters.prepend(QLatin1Char(char('a' + (n - 1) % 26)));
        if (n - 1 < 26)
            break;
        n = (n - 1) / 26;
    }
    return letters;
}

QString formatAlphabethical(qint64 number, int digits)
{
    const QString sign = number > 0 ? QString() : QStringLiteral("-");
    return padded(sign + bijectiveAlphabethical(number), digits);
}

QString formatRoman(qint64 number, int digits)
{
    if (number == 0)
        return padded(QStringLiteral("N"), digits);
    static const struct { int value; const char16_t* text; } table[] = {
        { 10000, u"\u2182" }, { 9000, u"M\u2182" }, { 5000, u"\u2181" }, { 4000, u"M\u2181" },
        { 1000, u"M" }, { 900, u"CM" }, { 500, u"D" }, { 400, u"CD" }, { 100, u"C" }, { 90, u"XC" },
        { 50, u"L" }, { 40, u"XL" }, { 10, u"X" }, { 9, u"IX" }, { 5, u"V" }, { 4, u"IV" }, { 1, u"I" },
    };
    qint64 rest = number % 100000;
    QString text;
    if (rest < 0) {
        text = QStringLiteral("-");
        rest = -rest;
    }
    for (const auto& entry : table) {
        while (rest >= entry.value) {
            text += QString::fromUtf16(entry.text);
            rest -= entry.value;
        }
    }
    return padded(text, digits);
}

QString formattedTimeZoneOffset(qint64 seconds)
{
    const quint64 m = magnitude(seconds);
    return QString::asprintf("%c%02llu:%02llu", seconds < 0 ? '-' : '+',
        static_cast<unsigned long long>(m / 3600), static_cast<unsigned long long>((m % 3600) / 60));
}

qint64 clamp(qint64 number, qint64 min, qint64 max)
{
    if (number < min)
        return min;
    if (number > max)
        return max;
    return number;
}

QString flashDescription(qint64 value)
{
    // 0 is the common "no flash"; mode 0 (bits 3-4) is "unknown", not "auto".
    if (value == 0)
        return QStringLiteral("No Flash");
    QString first = QStringLiteral("Flash");
    switch (value & 24) {
    case 8: first += QStringLiteral(" On"); break;
    case 16: return QStringLiteral("Flash Off");
    case 24: first += QStringLiteral(" Auto"); break;
    default: break;
    }
    QStringList parts { first };
    parts.append((value & 1) ? QStringLiteral("Fired") : QStringLiteral("Not Fired"));
    // Bits 1-2: 0 no detection function, 1 reserved, 2 not detected, 3 detected.
    if ((value & 6) == 6)
        parts.append(QStringLiteral("Return Detected"));
    else if ((value & 6) == 4)
        parts.append(QStringLiteral("Return Not Detected"));
    if (value & 32)
        parts.append(QStringLiteral("No Flash Function"));
    if (value & 64)
        parts.append(QStringLiteral("Red-eye Reduction"));
    return parts.join(QStringLiteral(", "));
}

std::optional<qint64> fromOptional(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::QString:
        break;
    default:
        return std::nullopt;
    }
    const QString text = value.toString();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate as a negative number: its range holds the most negative value.
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const int digit = c.unicode() - '0';
        if (result < (std::numeric_limits<qint64>::min() + digit) / 10)
            return std::nullopt;
        result = result * 10 - digit;
    }
    if (!negative) {
        if (result == std::numeric_limits<qint64>::min())
            return std::nullopt;
        result = -result;
    }
    return result;
}

qint64 fromString(const QVariant& value)
{
    return fromOptional(value).value_or(0);
}

qint64 fromString(const QVariant& value, qint64 defaultValue)
{
    return fromOptional(value).value_or(defaultValue);
}

} // namespace Int
