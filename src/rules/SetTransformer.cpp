// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/SetTransformer.h"

#include "core/Findable.h"

QString SetTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to set the text of a Filename, Path or Extension.");
}

void SetTransformer::run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    // The path on disk decides, not the name that earlier rules are building.
    const FindParameters parameters(properties.setFindText, properties.setFindWildcards, properties.setFindRegex,
        properties.setFindCaseInsensitive, false);
    const QString text = resolvedText(mode, properties.setText, file);
    QString error;
    const bool found = Findable::findRanges(file.source.fileInfo.fullPath, parameters, &error).has_value();
    if (!error.isEmpty())
        throw regularExpressionError(error);
    if (found)
        file.transformed.setTransformedText(text, transformScope);
}
