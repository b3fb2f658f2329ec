// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenType.h"

namespace TokenTypes {

namespace {
struct Name {
    TokenType type;
    const char* raw;
    const char* caseName;
};
const Name NAMES[] = {
    { TokenType::STRING, "string", "STRING" },
    { TokenType::ATTRIBUTE, "attribute", "ATTRIBUTE" },
    { TokenType::REGEX, "regex", "REGEX" },
    { TokenType::PARENT_DIRECTORY, "parent-directory", "PARENT_DIRECTORY" },
    { TokenType::ORIGINAL_FILENAME, "original-filename", "ORIGINAL_FILENAME" },
    { TokenType::DATE_NOW, "date-now", "DATE_NOW" },
};
} // namespace

QString rawValue(TokenType type)
{
    for (const Name& name : NAMES) {
        if (name.type == type)
            return QLatin1String(name.raw);
    }
    return QStringLiteral("string");
}

QString caseName(TokenType type)
{
    for (const Name& name : NAMES) {
        if (name.type == type)
            return QLatin1String(name.caseName);
    }
    return QStringLiteral("STRING");
}

std::optional<TokenType> fromRawValue(const QString& text)
{
    for (const Name& name : NAMES) {
        if (text == QLatin1String(name.raw))
            return name.type;
    }
    return std::nullopt;
}

std::optional<TokenType> fromAny(const QVariant& value)
{
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return fromRawValue(value.toString());
}

} // namespace TokenTypes
