// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/RegularExpressionTransformer.h"

#include "core/CanonicalText.h"
#include "core/RegularExpression.h"
#include "core/TextOffsets.h"
#include "rules/ReplacementTemplate.h"
#include "tokens/RegExpResolver.h"

namespace {

QString decomposed(const QString& text)
{
    return text.normalized(QString::NormalizationForm_D);
}

} // namespace

RegularExpression RegularExpressionTransformer::compiled(const QString& find, const QString& replacementTemplate,
    bool caseInsensitive)
{
    QString error;
    auto expression = RegularExpression::compile(
        decomposed(find), caseInsensitive ? RegexOptions(RegexOption::caseInsensitive) : RegexOptions(), &error);
    if (!expression)
        throw regularExpressionError(error);
    ReplacementTemplate::check(replacementTemplate, expression->groupCount());
    return *expression;
}

QString RegularExpressionTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to find and replace text using Regular Expressions.\n\n"
                          "Capture groups can be used in Replace as $1, $2 etc...");
}

void RegularExpressionTransformer::run(TransformMode mode, TransformScope transformScope,
    const TransformerProperties& properties, File& file, FileIndex&, TransformerState&)
{
    const QString find = RegExpResolver::resolveRegExp(properties.regexFindText.value_or(TokenString())).pattern;
    if (find.isEmpty())
        return;
    const QString replacementTemplate = resolvedTemplate(mode, properties.regexReplaceText, file);
    const QString text = file.transformed.getTransformedText(transformScope);
    const bool caseInsensitive = properties.regexCaseInsensitive.value_or(false);
    const QString result = properties.regexFindFirst.value_or(false)
        ? replaceFirst(find, replacementTemplate, text, caseInsensitive)
        : replaceAll(find, replacementTemplate, text, caseInsensitive);
    file.transformed.setTransformedText(result, transformScope);
}

QString RegularExpressionTransformer::replaceAll(const QString& find, const QString& replacementTemplate,
    const QString& text, bool caseInsensitive)
{
    const RegularExpression expression = compiled(find, replacementTemplate, caseInsensitive);
    QString error;
    const auto replaced = expression.replaceAll(decomposed(text), replacementTemplate, &error);
    if (!replaced)
        throw regularExpressionError(error);
    return CanonicalText::nfc(*replaced);
}

QString RegularExpressionTransformer::replaceFirst(const QString& find, const QString& replacementTemplate,
    const QString& text, bool caseInsensitive)
{
    const RegularExpression expression = compiled(find, replacementTemplate, caseInsensitive);
    const QString subject = decomposed(text);
    QString error;
    const auto match = expression.firstMatch(subject, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    if (!match)
        return text;
    if (!TextOffsets(subject).characterRange(match->range))
        return text; // the match splits a character
    const auto replaced = expression.replaceAll(subject.mid(match->range.start, match->range.length()),
        replacementTemplate, &error);
    if (!replaced)
        throw regularExpressionError(error);
    QString result = subject;
    result.replace(match->range.start, match->range.length(), *replaced);
    return CanonicalText::nfc(result);
}
