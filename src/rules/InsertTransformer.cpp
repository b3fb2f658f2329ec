// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/InsertTransformer.h"

#include "rules/TextInsertion.h"

QString InsertTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to insert some text in a Filename, Path or Extension.");
}

void InsertTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    if (!properties.insertText)
        return;
    const QString insertion = resolvedText(mode, properties.insertText, file);
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(insertText(insertion, text, properties), transformScope);
}

QString InsertTransformer::insertText(const QString& insertion, const QString& text,
    const TransformerProperties& properties)
{
    const FindParameters parameters(properties.insertFindText, properties.insertFindWildcards,
        properties.insertFindRegex, properties.insertFindCaseInsensitive, properties.insertFindFirst);
    const bool atStart = properties.insertPosition == kLocationStart;
    const qint64 offset = properties.insertOffset.value_or(0);
    return TextInsertion::insertAtMatches(text, parameters, insertion, [&](const CharacterRange& range) {
        return TextInsertion::saturatingAdd(atStart ? range.lower : range.upper, offset);
    });
}
