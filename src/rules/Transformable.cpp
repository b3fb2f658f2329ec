#include "rules/Transformable.h"

#include "tokens/AttributeResolver.h"

QString Transformable::resolvedText(TransformMode mode, const std::optional<TokenString>& text, File& file)
{
    if (!text)
        return {};
    if (mode == TransformMode::quick)
        return text->resolvedAttributesQuick(file);
    return AttributeResolver::resolvedAttributes(*text, file);
}
