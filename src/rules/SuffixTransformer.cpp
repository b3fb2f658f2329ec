// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/SuffixTransformer.h"

#include "rules/TextInsertion.h"

QString SuffixTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to append some text to the end of a Filename, Path or Extension.");
}

void SuffixTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    const QString insertion = resolvedText(mode, properties.suffixText, file);
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(insertSuffixText(insertion, text, properties), transformScope);
}

QString SuffixTransformer::insertSuffixText(const QString& insertion, const QString& text,
    const TransformerProperties& properties)
{
    const FindParameters parameters(properties.suffixFindText, properties.suffixFindWildcards,
        properties.suffixFindRegex, properties.suffixFindCaseInsensitive, properties.suffixFindFirst);
    return TextInsertion::insertAtMatches(
        text, parameters, insertion, [](const CharacterRange& range) { return range.upper; });
}
