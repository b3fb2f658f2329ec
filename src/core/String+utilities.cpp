// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+utilities.h"

#include "core/CanonicalText.h"
#include "core/IcuString.h"
#include "core/TextOffsets.h"

#include <QLocale>


#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

QString shortestDouble(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e16)) {
        QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
        if (!text.contains(QLatin1Char('.')))
            text += QStringLiteral(".0");
        if (std::signbit(value) && !text.startsWith(QLatin1Char('-')))
            text.prepend(QLatin1Char('-'));
        return text;
    }
    return QString::number(value, 'e', QLocale::FloatingPointShortest);
}

} // namespace

namespace String {

QString withoutDiacritics(const QString& text)
{
    // ASCII holds no marks and nothing that decomposes.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    for (const char32_t codePoint : decomposed.toUcs4()) {
        if (QChar::category(codePoint) != QChar::Mark_NonSpacing)
            kept += QString::fromUcs4(&codePoint, 1);
    }
    return kept.normalized(QString::NormalizationForm_C);
}

bool hasDiacritics(const QString& text)
{
    if (text.isEmpty())
        return false;
    return withoutDiacritics(text) != CanonicalText::nfc(text);
}

QString numericCharacters(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

quint64 numeric(const QString& text)
{
    quint64 value = 0;
    for (const QChar c : numericCharacters(text)) {
        const quint64 digit = c.unicode() - '0';
        if (value > (std::numeric_limits<quint64>::max() - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

QString stringByDeduplicating(const QString& text, const QString& characters)
{
    // When every character to deduplicate is a single code unit that stands alone
    // (below the combining marks, not CR or LF), a repeat shows as two equal code
    // units side by side; without such a pair there is nothing to remove. This
    // keeps the common case (a path without "//") cheap.
    const bool singleUnits = std::all_of(characters.cbegin(), characters.cend(), [](QChar c) {
        return c.unicode() < 0x300 && c != QLatin1Char('\r') && c != QLatin1Char('\n');
    });
    if (singleUnits) {
        bool mayRepeat = false;
        for (qsizetype i = 1; i < text.size() && !mayRepeat; ++i)
            mayRepeat = text.at(i) == text.at(i - 1) && characters.contains(text.at(i));
        if (!mayRepeat)
            return text;
    }
    const QStringList chars = TextOffsets(text).characters();
    if (chars.size() < 2)
        return text;
    const QStringList set = TextOffsets(characters).characters();
    QString result;
    QString previous;
    bool hasPrevious = false;
    for (const QString& c : chars) {
        if (hasPrevious && c == previous && set.contains(c))
            continue;
        result += c;
        previous = c;
        hasPrevious = true;
    }
    return result;
}

QString fileAndFolderSafeName(const QString& text)
{
    QString result = CanonicalText::nfc(text);
    result.replace(QLatin1Char(':'), modifier_letter_colon);
    result = CanonicalText::nfc(result);
    result.replace(QLatin1Char('/'), QLatin1Char(':'));
    return result;
}

namespace {

enum class ControlKind { none, lineBreak, dropped };

ControlKind controlKind(char16_t c)
{
    if ((c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029)
        return ControlKind::lineBreak;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
        return ControlKind::dropped;
    return ControlKind::none;
}

} // namespace

QString withoutControlCharacters(const QString& text)
{
    const auto isPlain = [](QChar c) { return controlKind(c.unicode()) == ControlKind::none; };
    if (std::all_of(text.cbegin(), text.cend(), isPlain))
        return text;
    QString result;
    result.reserve(text.size());
    bool spacePending = false;
    for (const QChar c : text) {
        switch (controlKind(c.unicode())) {
        case ControlKind::lineBreak:
            spacePending = !result.isEmpty();
            break;
        case ControlKind::dropped:
            break;
        case ControlKind::none:
            if (spacePending)
                result += QLatin1Char(' ');
            spacePending = false;
            result += c;
            break;
        }
    }
    return result;
}

QStringList splitIncludingSeparator(const QString& text, const QString& separators)
{
    const QStringList separatorChars = TextOffsets(separators).characters();
    QStringList pieces;
    QString run;
    for (const QString& c : TextOffsets(text).characters()) {
        if (separatorChars.contains(c)) {
            if (!run.isEmpty())
                pieces.append(run);
            run.clear();
            pieces.append(c);
        } else {
            run += c;
        }
    }
    if (!run.isEmpty())
        pieces.append(run);
    return pieces;
}

qsizetype clampedIndex(const QString& text, qsizetype characterOffset)
{
    return TextOffsets(text).utf16Position(characterOffset);
}

qsizetype clampedIndex(const QString& text, qsizetype utf16Position, qsizetype characterOffset)
{
    const TextOffsets offsets(text);
    // A position inside a character counts from that character's start.
    qsizetype start = 0;
    while (start < offsets.characterCount() && offsets.utf16Position(start + 1) <= utf16Position)
        ++start;
    const qsizetype limit = offsets.characterCount();
    qsizetype target;
    if (characterOffset > 0)
        target = characterOffset > limit - start ? limit : start + characterOffset;
    else
        target = characterOffset < -start ? 0 : start + characterOffset;
    return offsets.utf16Position(target);
}

QString longest(const QStringList& texts)
{
    QString best;
    qsizetype bestCount = -1;
    for (const QString& text : texts) {
        const qsizetype count = TextOffsets(text).characterCount();
        if (count > bestCount) {
            best = text;
            bestCount = count;
        }
    }
    return best;
}

std::optional<QString> fromAny(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return shortestDouble(value.toDouble());
    default:
        return std::nullopt;
    }
}

QString fromAny(const QVariant& value, const QString& defaultValue)
{
    if (value.metaType().id() == QMetaType::QString && !value.toString().isEmpty())
        return value.toString();
    return defaultValue;
}

std::optional<QString> nonEmpty(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

QString stringByDeletingPrefix(const QString& text, const QString& prefix)
{
    return text.startsWith(prefix) ? text.mid(prefix.size()) : text;
}

QString stringByDeletingSuffix(const QString& text, const QString& suffix)
{
    return text.endsWith(suffix) ? text.chopped(suffix.size()) : text;
}

bool hasPrefix(const QString& text, const QStringList& prefixes)
{
    const QString lower = text.toLower();
    for (const QString& prefix : prefixes) {
        if (lower.startsWith(prefix.toLower()))
            return true;
    }
    return false;
}

} // namespace String
