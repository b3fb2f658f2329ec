// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformable.h"

#include "rules/ReplacementTemplate.h"
#include "tokens/AttributeResolver.h"


QString Transformable::resolvedText(TransformMode mode, const std::optional<TokenString>& text, File& file)
{
    if (!text)
        return {};
    if (mode == TransformMode::quick)
        return text->resolvedAttributesQuick(file);
    return AttributeResolver::resolvedAttributes(*text, file);
}

QString Transformable::resolvedTemplate(TransformMode mode, const std::optional<TokenString>& text, File& file)
{
    if (!text)
        return {};
    // As for a plain text: the preview waits for the file's attributes.
    if (mode == TransformMode::quick && text->hasAttributes() && !file.attributesInitialized()) {
        file.transformed.lateUpdateRequired = true;
        return {};
    }
    QString result;
    for (const TokenItem& item : text->items()) {
        const QString resolved = resolvedText(mode, TokenString(item), file);
        result += item.type == TokenType::ATTRIBUTE ? ReplacementTemplate::escaped(resolved) : resolved;
    }
    return result;
}

TransformError Transformable::regularExpressionError(const QString& detail)
{
    return TransformError::fatal(QStringLiteral("Regular expression error"), detail);
}
