// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformerProperties.h"

#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"

#include <QJsonArray>

namespace PropertyField {
namespace {

// Whether the fields that depend on another field of the record are written.
struct WriteContext {
    bool findTextWritten = false;
    bool isLookup = false;
};

// A stored flag: a Boolean, or the older text form in which only "1" is true.
std::optional<bool> readFlag(const QJsonObject& object, const QString& key)
{
    if (JsonRead::isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = object.value(key);
    if (value.isBool())
        return value.toBool();
    if (value.isString())
        return value.toString() == QLatin1String("1");
    throw DecodingError(QStringLiteral("Expected a Boolean or a text for key \"%1\"").arg(key));
}

void writeFlag(QJsonObject& object, const QString& key, const std::optional<bool>& value, bool allowed = true)
{
    if (allowed && value.value_or(false))
        object.insert(key, true);
}

// A token text is worth writing when some item is a token or a non-empty text.
bool hasContent(const TokenString& text)
{
    return std::any_of(text.items().cbegin(), text.items().cend(),
        [](const TokenItem& item) { return !item.isString() || !item.value.isEmpty(); });
}

void writeToken(QJsonObject& object, const QString& key, const std::optional<TokenString>& value)
{
    if (value && hasContent(*value))
        object.insert(key, value->toJson());
}

std::optional<ConversionType> readConversion(const QJsonObject& object, const QString& key)
{
    const auto name = JsonRead::optionalString(object, key);
    if (!name)
        return std::nullopt;
    const auto type = conversionTypeFromRawValue(*name);
    if (!type)
        throw DecodingError(QStringLiteral("Unknown conversion \"%1\" for key \"%2\"").arg(*name, key));
    return type;
}

// Each storage kind's read and write.
Text::Type read(Text, const QJsonObject& object, const QString& key)
{
    return JsonRead::optionalString(object, key);
}
void write(Text, QJsonObject& object, const QString& key, const Text::Type& value, WriteContext)
{
    if (value && !value->isEmpty())
        object.insert(key, *value);
}

// A token text that cannot be read fails the decode: a rule that dropped it would rename differently.
TokenString readToken(const QJsonValue& value, const QString& key)
{
    try {
        return TokenString::fromJson(value);
    } catch (const DecodingError& error) {
        throw DecodingError(QStringLiteral("%1 for key \"%2\"").arg(error.message(), key));
    }
}

Token::Type read(Token, const QJsonObject& object, const QString& key)
{
    if (JsonRead::isAbsent(object, key))
        return std::nullopt;
    return readToken(object.value(key), key);
}
void write(Token, QJsonObject& object, const QString& key, const Token::Type& value, WriteContext)
{
    writeToken(object, key, value);
}

// Older recipes may hold a plain text: it becomes one literal item.
LenientToken::Type read(LenientToken, const QJsonObject& object, const QString& key)
{
    if (JsonRead::isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = object.value(key);
    if (value.isString())
        return TokenString::string(value.toString());
    return readToken(value, key);
}
void write(LenientToken, QJsonObject& object, const QString& key, const LenientToken::Type& value, WriteContext)
{
    writeToken(object, key, value);
}

Flag::Type read(Flag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key).value_or(false);
}
void write(Flag, QJsonObject& object, const QString& key, const Flag::Type& value, WriteContext)
{
    writeFlag(object, key, value);
}

FindFlag::Type read(FindFlag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key).value_or(false);
}
void write(FindFlag, QJsonObject& object, const QString& key, const FindFlag::Type& value, WriteContext context)
{
    writeFlag(object, key, value, context.findTextWritten);
}

OptionalFlag::Type read(OptionalFlag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key);
}
void write(OptionalFlag, QJsonObject& object, const QString& key, const OptionalFlag::Type& value, WriteContext)
{
    writeFlag(object, key, value);
}

DecodedFlag::Type read(DecodedFlag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key).value_or(false);
}
void write(DecodedFlag, QJsonObject& object, const QString& key, const DecodedFlag::Type& value, WriteContext)
{
    writeFlag(object, key, value);
}

LookupFlag::Type read(LookupFlag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key).value_or(false);
}
void write(LookupFlag, QJsonObject& object, const QString& key, const LookupFlag::Type& value, WriteContext context)
{
    writeFlag(object, key, value, context.isLookup);
}

LookupOptionalFlag::Type read(LookupOptionalFlag, const QJsonObject& object, const QString& key)
{
    return readFlag(object, key);
}
void write(LookupOptionalFlag, QJsonObject& object, const QString& key, const LookupOptionalFlag::Type& value,
    WriteContext context)
{
    writeFlag(object, key, value, context.isLookup);
}

Int::Type read(Int, const QJsonObject& object, const QString& key)
{
    return JsonRead::optionalInteger(object, key);
}
void write(Int, QJsonObject& object, const QString& key, const Int::Type& value, WriteContext)
{
    if (value)
        object.insert(key, *value);
}

// An integer, or decimal text; text that is no number leaves the field unset.
LenientInt::Type read(LenientInt, const QJsonObject& object, const QString& key)
{
    if (JsonRead::isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = object.value(key);
    if (value.isString())
        return JsonRead::decimalInteger(value.toString());
    return JsonRead::optionalInteger(object, key);
}
void write(LenientInt, QJsonObject& object, const QString& key, const LenientInt::Type& value, WriteContext)
{
    if (value)
        object.insert(key, *value);
}

Conversion::Type read(Conversion, const QJsonObject& object, const QString& key)
{
    return readConversion(object, key);
}
void write(Conversion, QJsonObject& object, const QString& key, const Conversion::Type& value, WriteContext)
{
    object.insert(key, value ? QJsonValue(rawValue(*value)) : QJsonValue(QJsonValue::Null));
}

LookupTable::Type read(LookupTable, const QJsonObject& object, const QString& key)
{
    const auto rows = JsonRead::optionalArray(object, key);
    if (!rows)
        return std::nullopt;
    if (rows->size() > TransformerProperties::MAX_LOOKUP_ROWS)
        throw DecodingError(QStringLiteral("The lookup table has %1 rows, more than the %2 a table may hold")
                                .arg(rows->size())
                                .arg(TransformerProperties::MAX_LOOKUP_ROWS));
    QList<QStringList> table;
    table.reserve(rows->size());
    for (const QJsonValue& row : *rows) {
        if (!row.isArray())
            throw DecodingError(QStringLiteral("Expected rows of texts for key \"%1\"").arg(key));
        QStringList texts;
        for (const QJsonValue& text : row.toArray()) {
            if (!text.isString())
                throw DecodingError(QStringLiteral("Expected rows of texts for key \"%1\"").arg(key));
            texts << text.toString();
        }
        table << texts;
    }
    return table;
}
void write(LookupTable, QJsonObject& object, const QString& key, const LookupTable::Type& value, WriteContext context)
{
    if (!context.isLookup || !value)
        return;
    QJsonArray rows;
    for (const QStringList& row : *value)
        rows.append(QJsonArray::fromStringList(row));
    object.insert(key, rows);
}

} // namespace
} // namespace PropertyField

namespace {

// The find text that decides whether a kind's find options are written.
const std::optional<QString>& findText(const TransformerProperties& p, TransformerType type)
{
    static const std::optional<QString> none;
    switch (type) {
    case TransformerType::insert: return p.insertFindText;
    case TransformerType::numbering: return p.numberFindText;
    case TransformerType::conversion: return p.conversionFindText;
    case TransformerType::trim: return p.trimFindText;
    case TransformerType::prefix: return p.prefixFindText;
    case TransformerType::suffix: return p.suffixFindText;
    case TransformerType::set: return p.setFindText;
    case TransformerType::simple:
    case TransformerType::regex:
    case TransformerType::select:
        break;
    }
    return none;
}

} // namespace

TransformerProperties TransformerProperties::fromJson(const QJsonObject& object)
{
    TransformerProperties properties;
#define BF_READ_FIELD(kind, storage, name) \
    properties.name = PropertyField::read(PropertyField::storage {}, object, QStringLiteral(#name));
    BF_TRANSFORMER_PROPERTIES(BF_READ_FIELD)
#undef BF_READ_FIELD
    // Older recipes name the conversion "caseType".
    if (!properties.conversionType)
        properties.conversionType = PropertyField::read(PropertyField::Conversion {}, object, QStringLiteral("caseType"));
    properties.applyLegacyConversion_8_0(object);
    properties.applyLegacyConversion_9_0(object);
    return properties;
}

QJsonObject TransformerProperties::toJson() const
{
    QJsonObject object;
#define BF_WRITE_FIELD(kind, storage, name)                                                                 \
    {                                                                                                       \
        const auto& text = findText(*this, TransformerType::kind);                                          \
        const PropertyField::WriteContext context { text.has_value() && !text->isEmpty(),                   \
            conversionType == ConversionType::lookup };                                                     \
        PropertyField::write(PropertyField::storage {}, object, QStringLiteral(#name), name, context);      \
    }
    BF_TRANSFORMER_PROPERTIES(BF_WRITE_FIELD)
#undef BF_WRITE_FIELD
    return object;
}
