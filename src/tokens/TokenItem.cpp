// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenItem.h"

#include "core/Bool+value.h"
#include "core/Int+format.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"
#include "platform/Log.h"
#include "core/Dictionary+caseInsensitive.h"
#include "tokens/DecodingError.h"
#include "tokens/GPSPrecision.h"
#include "tokens/JsonRead.h"
#include "tokens/LocaleFormat.h"
#include "tokens/RegExpResolver.h"
#include "tokens/TokenDetailsList.h"

#include <QHashFunctions>
#include <QJsonDocument>

#include <algorithm>
#include <limits>

namespace {
const QString PARENT_DIRECTORY = QStringLiteral("parent-directory");
const QString ORIGINAL_FILENAME = QStringLiteral("original-filename");
const QString DATE_NOW = QStringLiteral("date-now");

QString timeZoneOrCurrent(const std::optional<QString>& identifier)
{
    if (identifier && LocaleFormat::isKnownTimeZone(*identifier))
        return *identifier;
    return TokenItem::currentTimeZone();
}

// A number member: an integer, or a text holding a decimal integer; an empty or
// unreadable text counts as absent. Anything else fails.
std::optional<qint64> decodeNumberIfPresent(const QJsonObject& object, const QString& key)
{
    if (JsonRead::isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = object.value(key);
    if (value.isDouble()) {
        if (const auto number = JsonRead::integer(value))
            return number;
    }
    if (value.isString())
        return JsonRead::decimalInteger(value.toString());
    throw DecodingError(QStringLiteral("Expected an integer or a decimal text for key \"%1\"").arg(key));
}

// A stored bound: an integer as itself, any text as a number (0 when it is
// empty or unreadable), nothing for other values.
std::optional<qint64> optionalInt(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString)
        return Int::fromString(value);
    return Int::fromOptional(value);
}

int clampedInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString blanksAsMarks(const QString& text)
{
    QString result = text;
    return result.replace(QLatin1Char(' '), QChar(0x23B5));
}
} // namespace

TokenItem::TokenItem(std::optional<TokenType> type, std::optional<QString> value, std::optional<QString> dateFormat)
    : type(type.value_or(TokenType::STRING))
    , value(value.value_or(QString()))
    , dateFormat(dateFormat.value_or(DEFAULT_DATEFORMAT))
{
}

QString TokenItem::currentTimeZone()
{
    return LocaleFormat::currentTimeZoneId();
}

// MARK: catalog predicates

QString TokenItem::catalogType() const
{
    if (type != TokenType::ATTRIBUTE)
        return {};
    const TokenDetailsRef details = TokenDetailsList::shared()[value];
    return details ? details->type() : QString();
}

bool TokenItem::isDateAttribute() const { return catalogType() == QLatin1String("date"); }
bool TokenItem::isGPSAttribute() const { return catalogType() == QLatin1String("gps"); }
bool TokenItem::isDecimalAttribute() const { return catalogType() == QLatin1String("decimal"); }

bool TokenItem::isNumberAttribute() const
{
    const QString kind = catalogType();
    return kind == QLatin1String("number") || kind == QLatin1String("decimal");
}

bool TokenItem::isParentDirectoryIndex() const
{
    return type == TokenType::ATTRIBUTE && value.startsWith(PARENT_DIRECTORY);
}

bool TokenItem::isOriginalFilenameAttribute() const
{
    return type == TokenType::ATTRIBUTE && value == ORIGINAL_FILENAME;
}

bool TokenItem::isDateNow() const
{
    return type == TokenType::ATTRIBUTE && value == DATE_NOW;
}

bool TokenItem::isGPSAddress() const
{
    return type == TokenType::ATTRIBUTE && Dictionary::contains(GPSLocationKeys(), value);
}

int TokenItem::parentDirectoryIndex() const
{
    if (!isParentDirectoryIndex())
        return 0;
    const auto number = JsonRead::decimalInteger(String::numericCharacters(value));
    if (!number || *number > std::numeric_limits<int>::max())
        return 0;
    return int(*number);
}

// MARK: texts

qsizetype TokenItem::count() const
{
    return type == TokenType::STRING ? TextOffsets(value).characterCount() : 1;
}

QString TokenItem::displayValue() const
{
    QString text = value;
    if (type == TokenType::ATTRIBUTE) {
        const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            text = text.mid(dot + 1);
    } else if (type == TokenType::REGEX) {
        text = RegExpResolver::resolveRegExp(*this).label;
    }
    if (!prefix.isEmpty())
        text = blanksAsMarks(prefix) + QStringLiteral(" + ") + text;
    if (!suffix.isEmpty())
        text = text + QStringLiteral(" + ") + blanksAsMarks(suffix);
    return text + QStringLiteral(" \u25BC");
}

QString TokenItem::description() const
{
    QString text = displayValue();
    qsizetype start = 0;
    qsizetype end = text.size();
    auto trimmed = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x25BC); };
    while (start < end && trimmed(text[start]))
        ++start;
    while (end > start && trimmed(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

QString TokenItem::debugDescription() const
{
    return QStringLiteral("TokenItem: type: %1, value: %2, regexp: %3, prefix: %4, suffix: %5")
        .arg(TokenTypes::caseName(type), value, debugText(regexp), prefix, suffix);
}

// MARK: equality

bool TokenItem::operator==(const TokenItem& other) const
{
    return type == other.type && value == other.value && prefix == other.prefix && suffix == other.suffix
        && dateFormat == other.dateFormat && timeZone == other.timeZone && gpsFormat == other.gpsFormat
        && numberDigits == other.numberDigits && regexp == other.regexp;
}

size_t qHash(const TokenItem& item, size_t seed)
{
    return qHashMulti(seed, item.type, item.value, item.prefix, item.suffix, item.dateFormat, item.timeZone,
        item.gpsFormat, item.numberDigits, item.regexp);
}

// MARK: property dictionary

QVariantMap TokenItem::properties() const
{
    QVariantMap map;
    map.insert(PROPERTY_TYPE, TokenTypes::rawValue(type));
    map.insert(PROPERTY_VALUE, value);
    map.insert(PROPERTY_PREFIX, prefix);
    map.insert(PROPERTY_SUFFIX, suffix);
    if (type == TokenType::ATTRIBUTE) {
        map.insert(PROPERTY_DATEFORMAT, dateFormat);
        map.insert(PROPERTY_TIMEZONE, timeZone);
        map.insert(PROPERTY_GPSFORMAT, QString::number(gpsFormat));
        map.insert(PROPERTY_NUMBERDIGITS, QString::number(numberDigits));
    } else if (type == TokenType::REGEX) {
        auto flag = [&](const QString& key, const std::optional<bool>& value) {
            if (value)
                map.insert(key, *value ? QStringLiteral("true") : QStringLiteral("false"));
        };
        flag(PROPERTY_REGEX_CONTAINING, regexp.containing);
        flag(PROPERTY_REGEX_ALPHABETIC, regexp.alphabetic);
        flag(PROPERTY_REGEX_NUMERIC, regexp.numeric);
        flag(PROPERTY_REGEX_PUNCTUATION, regexp.punctuation);
        flag(PROPERTY_REGEX_WHITESPACE, regexp.whitespace);
        flag(PROPERTY_REGEX_DIACRITICS, regexp.diacritics);
        if (regexp.custom)
            map.insert(PROPERTY_REGEX_CUSTOM, *regexp.custom);
        const QString phraseKeys[] = { PROPERTY_REGEX_PHRASE1, PROPERTY_REGEX_PHRASE2, PROPERTY_REGEX_PHRASE3 };
        for (int i = 0; i < 3; ++i) {
            if (regexp.phrases && i < regexp.phrases->phrases.size())
                map.insert(phraseKeys[i], regexp.phrases->phrases[i]);
        }
        const bool insensitive = regexp.phrases && regexp.phrases->diacriticInsensitive;
        map.insert(PROPERTY_REGEX_PHRASES_DIACRITICS_INSENSITIVE,
            insensitive ? QStringLiteral("true") : QStringLiteral("false"));
        if (regexp.count && regexp.count->min)
            map.insert(PROPERTY_REGEX_COUNT_MIN, QString::number(*regexp.count->min));
        if (regexp.count && regexp.count->max)
            map.insert(PROPERTY_REGEX_COUNT_MAX, QString::number(*regexp.count->max));
        map.insert(PROPERTY_REGEX_ANCHOR, RegExpAnchors::rawValue(regexp.anchor.value_or(RegExpAnchor::none)));
    }
    return map;
}

TokenItem TokenItem::fromProperties(const QVariantMap& properties)
{
    TokenItem item;
    item.type = TokenTypes::fromAny(properties.value(PROPERTY_TYPE)).value_or(TokenType::STRING);
    item.value = String::fromAny(properties.value(PROPERTY_VALUE)).value_or(QString());
    item.prefix = String::fromAny(properties.value(PROPERTY_PREFIX)).value_or(QString());
    item.suffix = String::fromAny(properties.value(PROPERTY_SUFFIX)).value_or(QString());
    item.dateFormat = String::fromAny(properties.value(PROPERTY_DATEFORMAT)).value_or(DEFAULT_DATEFORMAT);
    item.timeZone = timeZoneOrCurrent(String::fromAny(properties.value(PROPERTY_TIMEZONE)));
    item.gpsFormat = clampedInt(Int::fromString(properties.value(PROPERTY_GPSFORMAT)));
    item.numberDigits = clampedInt(Int::fromString(properties.value(PROPERTY_NUMBERDIGITS), DEFAULT_NUMBERDIGITS));
    if (item.type != TokenType::REGEX)
        return item;

    RegExpToken regexp = RegExpToken::initial();
    regexp.containing = Bool::fromString(properties.value(PROPERTY_REGEX_CONTAINING));
    regexp.alphabetic = Bool::fromString(properties.value(PROPERTY_REGEX_ALPHABETIC));
    regexp.numeric = Bool::fromString(properties.value(PROPERTY_REGEX_NUMERIC));
    regexp.punctuation = Bool::fromString(properties.value(PROPERTY_REGEX_PUNCTUATION));
    regexp.whitespace = Bool::fromString(properties.value(PROPERTY_REGEX_WHITESPACE));
    regexp.diacritics = Bool::fromString(properties.value(PROPERTY_REGEX_DIACRITICS));
    regexp.custom = String::fromAny(properties.value(PROPERTY_REGEX_CUSTOM));
    auto phrase = [&](const QString& key) -> std::optional<QString> {
        const QVariant value = properties.value(key);
        if (value.metaType().id() == QMetaType::QString)
            return value.toString();
        return std::nullopt;
    };
    regexp.phrases = RegExpTokenPhrases(Bool::fromString(properties.value(PROPERTY_REGEX_PHRASES_DIACRITICS_INSENSITIVE)),
        { phrase(PROPERTY_REGEX_PHRASE1), phrase(PROPERTY_REGEX_PHRASE2), phrase(PROPERTY_REGEX_PHRASE3) });
    regexp.count = RegExpTokenQuantifier { optionalInt(properties.value(PROPERTY_REGEX_COUNT_MIN)),
        optionalInt(properties.value(PROPERTY_REGEX_COUNT_MAX)) };
    regexp.anchor = RegExpAnchors::fromAny(properties.value(PROPERTY_REGEX_ANCHOR)).value_or(RegExpAnchor::none);
    item.regexp = regexp;
    return item;
}

// MARK: JSON form

QJsonObject TokenItem::toJson() const
{
    QJsonObject object;
    switch (type) {
    case TokenType::STRING:
        object.insert(QStringLiteral("string"), value);
        return object;
    case TokenType::REGEX:
        object.insert(QStringLiteral("regexp"), regexp.toJson());
        return object;
    case TokenType::ATTRIBUTE:
        object.insert(QStringLiteral("attribute"), value);
        if (isDateAttribute()) {
            object.insert(PROPERTY_DATEFORMAT, dateFormat);
            object.insert(PROPERTY_TIMEZONE, timeZone);
        } else if (isGPSAttribute()) {
            object.insert(PROPERTY_GPSFORMAT, gpsFormat);
        } else if (isNumberAttribute()) {
            object.insert(PROPERTY_NUMBERDIGITS, numberDigits);
        }
        break;
    case TokenType::PARENT_DIRECTORY:
    case TokenType::ORIGINAL_FILENAME:
    case TokenType::DATE_NOW:
        // The older kinds have no member of their own: they keep the older
        // "type"/"value" form with every setting, so they read back equal.
        object.insert(PROPERTY_TYPE, TokenTypes::rawValue(type));
        object.insert(PROPERTY_VALUE, value);
        object.insert(PROPERTY_DATEFORMAT, dateFormat);
        object.insert(PROPERTY_TIMEZONE, timeZone);
        object.insert(PROPERTY_GPSFORMAT, gpsFormat);
        object.insert(PROPERTY_NUMBERDIGITS, numberDigits);
        break;
    }
    if (!prefix.isEmpty())
        object.insert(PROPERTY_PREFIX, prefix);
    if (!suffix.isEmpty())
        object.insert(PROPERTY_SUFFIX, suffix);
    return object;
}

TokenItem TokenItem::fromJson(const QJsonObject& object)
{
    try {
        TokenItem item;
        if (const auto string = JsonRead::optionalString(object, QStringLiteral("string"))) {
            item.type = TokenType::STRING;
            item.value = *string;
        } else if (const auto attribute = JsonRead::optionalString(object, QStringLiteral("attribute"))) {
            item.type = TokenType::ATTRIBUTE;
            item.value = *attribute;
        } else if (const auto regexp = JsonRead::optionalObject(object, QStringLiteral("regexp"))) {
            item.type = TokenType::REGEX;
            item.regexp = RegExpToken::fromJson(*regexp);
            item.value = QStringLiteral("regex");
        } else {
            const auto typeText = JsonRead::optionalString(object, PROPERTY_TYPE);
            const auto value = JsonRead::optionalString(object, PROPERTY_VALUE);
            if (!typeText)
                throw DecodingError(QStringLiteral("No value associated with key \"type\""));
            if (!value)
                throw DecodingError(QStringLiteral("No value associated with key \"value\""));
            const auto type = TokenTypes::fromRawValue(*typeText);
            if (!type)
                throw DecodingError(QStringLiteral("Cannot initialize TokenType from invalid value %1").arg(*typeText));
            item.type = *type;
            item.value = *value;
            if (item.type == TokenType::ATTRIBUTE) {
                // Keys of older catalogs.
                if (item.value.startsWith(QLatin1String("iTunes")))
                    item.value.replace(QStringLiteral("iTunes"), QStringLiteral("AV"));
                else if (item.value.contains(QLatin1String("disk")))
                    item.value.replace(QStringLiteral("disk"), QStringLiteral("disc"));
            }
        }
        item.prefix = JsonRead::optionalString(object, PROPERTY_PREFIX).value_or(QString());
        item.suffix = JsonRead::optionalString(object, PROPERTY_SUFFIX).value_or(QString());
        item.dateFormat = JsonRead::optionalString(object, PROPERTY_DATEFORMAT).value_or(DEFAULT_DATEFORMAT);
        item.timeZone = timeZoneOrCurrent(JsonRead::optionalString(object, PROPERTY_TIMEZONE));
        item.gpsFormat = clampedInt(decodeNumberIfPresent(object, PROPERTY_GPSFORMAT).value_or(DEFAULT_GPSFORMAT));
        item.numberDigits = clampedInt(decodeNumberIfPresent(object, PROPERTY_NUMBERDIGITS).value_or(DEFAULT_NUMBERDIGITS));
        return item;
    } catch (const DecodingError& error) {
        Log::error(Log::Category::transformers, "TokenItem decoding failed: %{public}@", error.message());
        throw;
    }
}

QByteArray TokenItem::jsonData() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<TokenItem> TokenItem::fromJsonData(const QByteArray& data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    try {
        if (!document.isObject())
            throw DecodingError(parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                             : QStringLiteral("not a JSON object"));
        return fromJson(document.object());
    } catch (const DecodingError& error) {
        Log::error(Log::Category::general, "Decoding TokenItem from data %{public}s failed: %{public}@",
            QStringLiteral("%1 bytes").arg(data.size()), error.message());
        return std::nullopt;
    }
}
