// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/SimpleTransformer.h"

#include "core/CanonicalText.h"
#include "core/String+find.h"
#include "core/String+utilities.h"
#include "rules/ReplacementTemplate.h"
#include "rules/TextReplacement.h"

QString SimpleTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to find some text and replace it with some other text.\n\n"
                          "When using wildcards (*), the captured wildcard text can be used in Replace using $1, $2 "
                          "etc. for each matched wildcard.");
}

void SimpleTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    if (properties.simpleFindText.value_or(QString()).isEmpty())
        return;
    const QString text = file.transformed.getTransformedText(transformScope);
    // Pattern mode reads the replace text as a template; plain mode inserts it as it is.
    const QString replace = usesPattern(properties) ? resolvedTemplate(mode, properties.simpleReplaceText, file)
                                                    : resolvedText(mode, properties.simpleReplaceText, file);
    file.transformed.setTransformedText(replaceText(replace, text, properties), transformScope);
}

bool SimpleTransformer::usesPattern(const TransformerProperties& properties)
{
    const QString find = properties.simpleFindText.value_or(QString());
    const bool wildcards = properties.simpleWildcards.value_or(false)
        && (find.contains(QLatin1Char('*')) || find.contains(QLatin1Char('#')));
    return wildcards || properties.simpleFindFirst.value_or(false);
}

QString SimpleTransformer::replaceText(const QString& replace, const QString& text,
    const TransformerProperties& properties)
{
    const QString find = CanonicalText::nfc(properties.simpleFindText.value_or(QString()));
    if (find.isEmpty())
        return text;
    const bool caseInsensitive = properties.simpleCaseInsensitive.value_or(false);
    const bool findFirst = properties.simpleFindFirst.value_or(false);
    const bool wildcards = properties.simpleWildcards.value_or(false)
        && (find.contains(QLatin1Char('*')) || find.contains(QLatin1Char('#')));
    QString source = CanonicalText::nfc(text);

    if (!wildcards && !findFirst) {
        return TextReplacement::replaceOccurrences(
            source, find, replace, caseInsensitive, !String::hasDiacritics(find));
    }

    const QString pattern = wildcards ? String::wildcardsAsRegex(find) : String::regexLiteral(find);
    QString error;
    const auto expression = RegularExpression::compile(
        pattern, caseInsensitive ? RegexOptions(RegexOption::caseInsensitive) : RegexOptions(), &error);
    if (!expression)
        throw regularExpressionError(error);
    ReplacementTemplate::check(replace, expression->groupCount());
    CompareOptions options = CompareOption::regularExpression;
    if (caseInsensitive)
        options |= CompareOption::caseInsensitive;
    QList<TextRange> found = String::ranges(source, pattern, options, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    if (found.isEmpty())
        return text;
    if (findFirst)
        found.resize(1);
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString matched = CanonicalText::nfc(source.mid(it->start, it->length()));
        const auto replaced = expression->replaceAll(matched, replace, &error);
        if (!replaced)
            throw regularExpressionError(error);
        source.replace(it->start, it->length(), *replaced);
    }
    return source;
}
