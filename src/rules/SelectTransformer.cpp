// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/SelectTransformer.h"

#include "core/String+find.h"

QString SelectTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to make a sub selection of files to which the "
                          "Rename-Actions that follow will operate on.");
}

void SelectTransformer::run(TransformMode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    select(transformScope, properties, file);
}

void SelectTransformer::select(TransformScope transformScope, const TransformerProperties& properties, File& file)
{
    const QString type = properties.selectType.value_or(kTypeSelectAll);
    if (type == kTypeSelectAll) {
        file.transformed.isSelected = true;
        return;
    }
    const QString text = file.transformed.getTransformedText(transformScope);
    const QString match = properties.selectMatch.value_or(QString());
    QString error;
    const bool matched = !match.isEmpty() && String::isMatch(text, match, RegexOption::caseInsensitive, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    file.transformed.isSelected = type == kTypeSelectMatching ? matched : !matched;
}
