// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/ConversionTransformer.h"

#include "core/CanonicalText.h"
#include "core/RegularExpression.h"
#include "core/String+case.h"
#include "core/String+find.h"
#include "core/String+titleCase.h"
#include "core/String+utilities.h"
#include "rules/LookupSearch.h"

#include <QSet>

namespace {

const QString kUnderscore = QStringLiteral("_");

// Characters other systems refuse in a name: the reserved punctuation and the
// control characters.
bool isRefused(char32_t c)
{
    static const QString reserved = QStringLiteral("\\?%*:|\"<>");
    return c < 0x20 || c == 0x7F || (c < 0x80 && reserved.contains(QChar(c)));
}

QString compatiblePiece(const QString& piece)
{
    const QString folded = CanonicalText::nfc(String::withoutDiacritics(piece.trimmed()));
    QString result;
    for (const char32_t c : folded.toUcs4())
        result += (c >= 0x80 || isRefused(c)) ? kUnderscore : QString::fromUcs4(&c, 1);
    return result;
}

// Device names that other systems reserve, with or without an extension.
bool isReservedDeviceName(const QString& stem)
{
    static const QSet<QString> names = [] {
        QSet<QString> set { "CON", "PRN", "AUX", "NUL" };
        for (int i = 1; i <= 9; ++i)
            set << QStringLiteral("COM%1").arg(i) << QStringLiteral("LPT%1").arg(i);
        return set;
    }();
    return names.contains(stem.toUpper());
}

// A device name gets "_" after its stem; trailing dots and spaces become "_".
QString compatibleComponent(QString component)
{
    if (component.isEmpty() || component == QLatin1String(".") || component == QLatin1String(".."))
        return component;
    const qsizetype dot = component.indexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? component : component.left(dot);
    if (isReservedDeviceName(stem))
        component.insert(stem.size(), kUnderscore);
    for (qsizetype i = component.size() - 1; i >= 0; --i) {
        const QChar c = component.at(i);
        if (c != QLatin1Char('.') && c != QLatin1Char(' '))
            break;
        component[i] = QLatin1Char('_');
    }
    return component;
}

} // namespace

QString ConversionTransformer::helpText() const
{
    return QStringLiteral(
        "This Rename-Action can be used to apply character conversions to a Filename, Path or Extension.");
}

void ConversionTransformer::run(TransformMode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(convertText(text, properties), transformScope);
}

QString ConversionTransformer::convertText(const QString& text, const TransformerProperties& properties)
{
    const FindParameters parameters(properties.conversionFindText, properties.conversionFindWildcards,
        properties.conversionFindRegex, properties.conversionFindCaseInsensitive, properties.conversionFindFirst);
    QString pattern = parameters.pattern();
    if (pattern.isEmpty())
        pattern = QStringLiteral(".*");
    CompareOptions options = CompareOptions(CompareOption::regularExpression) | CompareOption::anchorsMatchLines;
    if (parameters.caseInsensitive)
        options |= CompareOption::caseInsensitive;
    QString error;
    QList<TextRange> found = String::ranges(text, pattern, options, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    if (!properties.conversionType)
        return text;
    if (parameters.findFirst && found.size() > 1)
        found.resize(1);
    QString result = text;
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        if (it->length() > 0)
            result.replace(it->start, it->length(), convert(text.mid(it->start, it->length()), *properties.conversionType, properties));
    }
    return result;
}

QString ConversionTransformer::convert(const QString& text, ConversionType type,
    const TransformerProperties& properties)
{
    switch (type) {
    case ConversionType::uppercase: return String::uppercased(text);
    case ConversionType::lowercase: return String::lowercased(text);
    case ConversionType::capitalizefirst: return capitalizedFirstWord(text);
    case ConversionType::capitalizeall: return String::capitalized(text);
    case ConversionType::titlecase: return String::localizedTitlecased(text);
    case ConversionType::removediacritics: return String::withoutDiacritics(text);
    case ConversionType::windowscompatibility: return windowsCompatible(text);
    case ConversionType::lookup: return lookedUp(text, properties);
    }
    return text;
}

QString ConversionTransformer::capitalizedFirstWord(const QString& text)
{
    static const auto firstLetter = RegularExpression::compile(
        QStringLiteral("^\\P{Ll}*(\\p{Ll})"), RegexOption::anchorsMatchLines);
    QString result = String::lowercased(text);
    const auto found = firstLetter ? firstLetter->matches(result) : std::nullopt;
    if (!found)
        return text;
    for (auto it = found->crbegin(); it != found->crend(); ++it) {
        if (const auto& letter = it->groups.value(0))
            result.replace(letter->start, letter->length(), String::uppercased(result.mid(letter->start, letter->length())));
    }
    return result;
}

QString ConversionTransformer::windowsCompatible(const QString& text)
{
    QString joined;
    for (const QString& piece : String::splitIncludingSeparator(text, QStringLiteral("/.")))
        joined += compatiblePiece(piece);
    QStringList components = joined.split(QLatin1Char('/'));
    for (QString& component : components)
        component = compatibleComponent(component);
    return components.join(QLatin1Char('/'));
}

QString ConversionTransformer::lookedUp(const QString& text, const TransformerProperties& properties)
{
    const QList<QStringList> table = properties.conversionLookup.value_or(QList<QStringList>());
    return LookupSearch::forTable(table)->apply(text, properties.conversionLookupCaseInsensitive.value_or(false),
        properties.conversionLookupAnchorStart.value_or(false), properties.conversionLookupAnchorEnd.value_or(false));
}
