// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/PrefixTransformer.h"

#include "rules/TextInsertion.h"

QString PrefixTransformer::helpText() const
{
    return QStringLiteral(
        "This Rename-Action can be used to prefix some text to the beginning of a Filename, Path or Extension.");
}

void PrefixTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    const QString insertion = resolvedText(mode, properties.prefixText, file);
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(insertPrefixText(insertion, text, properties), transformScope);
}

QString PrefixTransformer::insertPrefixText(const QString& insertion, const QString& text,
    const TransformerProperties& properties)
{
    const FindParameters parameters(properties.prefixFindText, properties.prefixFindWildcards,
        properties.prefixFindRegex, properties.prefixFindCaseInsensitive, properties.prefixFindFirst);
    return TextInsertion::insertAtMatches(
        text, parameters, insertion, [](const CharacterRange& range) { return range.lower; });
}
