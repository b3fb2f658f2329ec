// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/NumberingTransformer.h"

#include "core/Findable.h"
#include "core/Int+format.h"
#include "rules/FileIndex+counters.h"
#include "rules/TextInsertion.h"

#include <limits>

namespace {

bool isLetterOrRomanFormat(const QString& format)
{
    return format == NumberingTransformer::kNumberFormatAlphabetical
        || format == NumberingTransformer::kNumberFormatRoman;
}

// Letters and roman numerals have no zero: random numbers for them start at 1.
// Roman numerals repeat from 100000 on, so their numbers stay below it: wider
// draws would give two files the same numeral.
qint64 randomisedNumber(const TransformerProperties& properties, const File& file, TransformerState& state)
{
    constexpr qint64 kLargestRoman = 99999;
    const QString format = properties.numberFormat.value_or(NumberingTransformer::kNumberFormatDecimal);
    const qint64 digits = properties.numberDigits.value_or(1);
    const qint64 base = format == NumberingTransformer::kNumberFormatHexadecimal ? 16 : 10;
    const qint64 limit = format == NumberingTransformer::kNumberFormatRoman ? kLargestRoman - 1
                                                                            : std::numeric_limits<qint64>::max();
    const qint64 number = state.randomNumberGenerator.number(file.source.id, digits, base, limit);
    return isLetterOrRomanFormat(format) ? TextInsertion::saturatingAdd(number, 1) : number;
}

TransformError numberOutOfRange()
{
    return TransformError::fatal(QStringLiteral("Number out of range"),
        QStringLiteral("The number of this file lies beyond ±%1; use a smaller start or step.")
            .arg(std::numeric_limits<qint64>::max()));
}

} // namespace

QString NumberingTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to add numbering to a Filename, Path or Extension.");
}

std::optional<qint64> NumberingTransformer::sequentialNumber(const TransformerProperties& properties, qint64 count)
{
    const qint64 start = properties.numberStart.value_or(1);
    const qint64 skip = properties.numberSkip.value_or(1);
    const qint64 repeatCount = properties.numberRepeatCount.value_or(1);
    const qint64 resetCount = properties.numberResetCount.value_or(0);
    if (repeatCount > 1)
        count /= repeatCount;
    if (resetCount >= 1)
        count %= resetCount;
    qint64 step = 0;
    qint64 number = 0;
    if (__builtin_mul_overflow(skip, count, &step) || __builtin_add_overflow(start, step, &number))
        return std::nullopt;
    return number;
}

std::optional<qint64> NumberingTransformer::nextSequentialNumber(const TransformerProperties& properties,
    const FileIndex& fileIndex) const
{
    return sequentialNumber(properties, FileIndexCounters::value(fileIndex, m_transformerId));
}

QString NumberingTransformer::formatNumber(qint64 number, const TransformerProperties& properties)
{
    const int digits = int(Int::clamp(properties.numberDigits.value_or(1), 0, Int::MAX_DIGITS));
    const QString format = properties.numberFormat.value_or(kNumberFormatDecimal);
    if (format == kNumberFormatHexadecimal)
        return Int::formatHexadecimal(number, digits);
    if (format == kNumberFormatAlphabetical)
        return Int::formatAlphabethical(number, digits);
    if (format == kNumberFormatRoman)
        return Int::formatRoman(number, digits);
    return Int::formatDecimal(number, digits);
}

void NumberingTransformer::run(TransformMode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex& fileIndex, TransformerState& state)
{
    // Searched before a number is taken, so the counters are not spent on failed files.
    const QString text = file.transformed.getTransformedText(transformScope);
    const FindParameters parameters(properties.numberFindText, properties.numberFindWildcards,
        properties.numberFindRegex, properties.numberFindCaseInsensitive, properties.numberFindFirst);
    QString error;
    const auto ranges = Findable::findRanges(text, parameters, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    qint64 number = 0;
    if (properties.numberRandom.value_or(false)) {
        number = randomisedNumber(properties, file, state);
    } else {
        if (properties.numberResetEveryDirectoryChange.value_or(false)
            && FileIndexCounters::isDifferentDirectory(fileIndex, file, m_transformerId))
            FileIndexCounters::reset(fileIndex, m_transformerId);
        const std::optional<qint64> next = nextSequentialNumber(properties, fileIndex);
        if (!next)
            throw numberOutOfRange();
        number = *next;
    }
    const QString formatted = formatNumber(number, properties);
    const QString separator = properties.numberSeparatorText.value_or(QString());
    const bool atStart = properties.numberPosition == kNumberPositionStart;
    const QString insertion = atStart ? formatted + separator : separator + formatted;

    if (!ranges)
        throw TransformError::skipped();
    const qint64 offset = properties.numberPositionOffset.value_or(0);
    file.transformed.setTransformedText(TextInsertion::insert(text, *ranges, insertion, [&](const CharacterRange& range) {
        return TextInsertion::saturatingAdd(atStart ? range.lower : range.upper, offset);
    }), transformScope);
}
