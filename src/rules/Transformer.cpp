// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformer.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "platform/Log.h"
#include "rules/FileIndex+counters.h"
#include "rules/ConversionTransformer.h"
#include "rules/InsertTransformer.h"
#include "rules/NumberingTransformer.h"
#include "rules/PrefixTransformer.h"
#include "rules/RegularExpressionTransformer.h"
#include "rules/SelectTransformer.h"
#include "rules/SetTransformer.h"
#include "rules/SimpleTransformer.h"
#include "rules/SuffixTransformer.h"
#include "rules/TransformError+description.h"
#include "rules/TrimTransformer.h"
#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"
#include "tokens/TransformError.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QJsonDocument>
#include <QMutex>
#include <QSet>

#include <limits>
#include <type_traits>

namespace {

std::unique_ptr<Transformable> makeTransformable(TransformerType type, const QString& transformerId)
{
    switch (type) {
    case TransformerType::simple: return std::make_unique<SimpleTransformer>(transformerId);
    case TransformerType::insert: return std::make_unique<InsertTransformer>(transformerId);
    case TransformerType::prefix: return std::make_unique<PrefixTransformer>(transformerId);
    case TransformerType::suffix: return std::make_unique<SuffixTransformer>(transformerId);
    case TransformerType::set: return std::make_unique<SetTransformer>(transformerId);
    case TransformerType::trim: return std::make_unique<TrimTransformer>(transformerId);
    case TransformerType::numbering: return std::make_unique<NumberingTransformer>(transformerId);
    case TransformerType::conversion: return std::make_unique<ConversionTransformer>(transformerId);
    case TransformerType::regex: return std::make_unique<RegularExpressionTransformer>(transformerId);
    case TransformerType::select: return std::make_unique<SelectTransformer>(transformerId);
    }
    return nullptr;
}

const QString kIdPrefix = QStringLiteral("transformer_");

// Ids handed out follow the clock; ids read from stored rules are kept as
// text and skipped, so no stored id (however large, malformed or repeated)
// can stop new ids from being unique.
struct IdRegistry {
    QMutex mutex;
    qint64 last = std::numeric_limits<qint64>::min();
    QSet<QString> read;
};

IdRegistry& idRegistry()
{
    static IdRegistry registry;
    return registry;
}

QString idText(qint64 milliseconds)
{
    return kIdPrefix + QString::number(milliseconds, 16).toUpper();
}

qint64 following(qint64 value)
{
    return value == std::numeric_limits<qint64>::max() ? 0 : value + 1;
}

// The current millisecond, or the one after the last id handed out when the
// clock has not moved on (or went back); then past any id read.
QString nextId()
{
    IdRegistry& registry = idRegistry();
    const QMutexLocker lock(&registry.mutex);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 next = now > registry.last ? now : following(registry.last);
    QString id = idText(next);
    while (registry.read.contains(id)) {
        next = following(next);
        id = idText(next);
    }
    registry.last = next;
    return id;
}

void noteUsedId(const QString& id)
{
    IdRegistry& registry = idRegistry();
    const QMutexLocker lock(&registry.mutex);
    registry.read.insert(id);
}

// Whether the last component of the file's path starts with a dot; read in
// place, since every rule asks it for every file.
bool isHidden(const File& file)
{
    QStringView path = file.source.fileInfo.fullPath;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.sliced(path.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1Char('.'));
}

// The kinds without state of their own, made once and shared by every rule.
Transformable& sharedKind(TransformerType type)
{
    static SimpleTransformer simple;
    static InsertTransformer insert;
    static PrefixTransformer prefix;
    static SuffixTransformer suffix;
    static SetTransformer set;
    static TrimTransformer trim;
    static ConversionTransformer conversion;
    static RegularExpressionTransformer regex;
    static SelectTransformer select;
    switch (type) {
    case TransformerType::simple: return simple;
    case TransformerType::insert: return insert;
    case TransformerType::prefix: return prefix;
    case TransformerType::suffix: return suffix;
    case TransformerType::set: return set;
    case TransformerType::trim: return trim;
    case TransformerType::conversion: return conversion;
    case TransformerType::regex: return regex;
    case TransformerType::select: return select;
    case TransformerType::numbering: break;
    }
    Q_UNREACHABLE();
}

} // namespace

Transformer Transformer::newTransformer()
{
    return Transformer {};
}

QString Transformer::newId()
{
    return nextId();
}

std::unique_ptr<Transformable> Transformer::transformer() const
{
    return makeTransformable(type, id);
}

QString Transformer::buttonLabel() const
{
    const auto kind = transformer();
    return kind ? kind->buttonLabel() : QStringLiteral("?");
}

bool Transformer::usesFileAttributes() const
{
    const std::optional<TokenString>* text = nullptr;
    switch (type) {
    case TransformerType::simple: text = &properties.simpleReplaceText; break;
    case TransformerType::insert: text = &properties.insertText; break;
    case TransformerType::prefix: text = &properties.prefixText; break;
    case TransformerType::suffix: text = &properties.suffixText; break;
    case TransformerType::set: text = &properties.setText; break;
    case TransformerType::regex: text = &properties.regexReplaceText; break;
    case TransformerType::trim:
    case TransformerType::numbering:
    case TransformerType::conversion:
    case TransformerType::select:
        return false;
    }
    return text && text->has_value() && (*text)->hasAttributes();
}

bool Transformer::dependsOnItsFileAlone() const
{
    if (disabled)
        return true;
    if (type == TransformerType::numbering)
        return false;
    // Every token field, of whichever kind: a field of another kind is read by no rule.
    const auto withoutAttributes = [](const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::optional<TokenString>>)
            return !field || !field->hasAttributes();
        else
            return true;
    };
    bool alone = true;
#define BF_CHECK_FIELD(kind, storage, name) alone = alone && withoutAttributes(properties.name);
    BF_TRANSFORMER_PROPERTIES(BF_CHECK_FIELD)
#undef BF_CHECK_FIELD
    return alone;
}

bool Transformer::isNumberingWithContinuedStart() const
{
    return type == TransformerType::numbering && properties.numberUpdateStart.value_or(false)
        && !properties.numberRandom.value_or(false);
}

void Transformer::updateNumberingStartToNextSequentialNumber(const FileIndex& fileIndex)
{
    if (!isNumberingWithContinuedStart())
        return;
    // A start that would not fit stays as it is.
    if (const auto next = NumberingTransformer(id).nextSequentialNumber(properties, fileIndex))
        properties.numberStart = *next;
}

void Transformer::transformQuick(File& file, FileIndex& fileIndex)
{
    try {
        run(TransformMode::quick, file, fileIndex);
    } catch (...) {
        // run() has already recorded the failure in the file.
    }
}

void Transformer::transform(File& file, FileIndex& fileIndex)
{
    run(TransformMode::full, file, fileIndex);
}

bool Transformer::passesGates(const File& file) const
{
    if (type == TransformerType::select)
        return true; // a Select rule decides the selection of every file
    if (!file.transformed.isSelected)
        return false;
    const bool directory = file.source.fileInfo.isDirectory;
    if (isHidden(file)) {
        const bool pathScope = transformScope == TransformScope::path;
        const bool fullPathScope = transformScope == TransformScope::fullPath;
        const bool passes = directory ? pathScope : (pathScope || fullPathScope);
        if (!passes && !Preference::boolFor(PreferenceKey::renameHiddenFiles))
            return false;
    }
    if (directory) {
        if (transformScope == TransformScope::filename || transformScope == TransformScope::ext)
            return false;
        if (!Preference::boolFor(PreferenceKey::renameEmptyFolders))
            return false;
    }
    return true;
}

void Transformer::run(TransformMode mode, File& file, FileIndex& fileIndex)
{
    if (disabled || !passesGates(file))
        return;
    const bool numbering = type == TransformerType::numbering;
    const auto fail = [&](const QString& description) {
        const char* format = mode == TransformMode::quick
            ? "transformQuick error: transformerId: %{public}s at fileIndex: %s, error: %{public}@"
            : "transform error: transformerId: %{public}s at fileIndex: %s, error: %{public}@";
        Log::error(Log::Category::process, format, id, FileIndexCounters::indexDescription(fileIndex), description);
        file.validation.insertRuleError(description);
        if (numbering)
            FileIndexCounters::increment(fileIndex, id);
    };
    try {
        // Only a Numbering rule's kind knows its rule; the others are shared.
        std::optional<NumberingTransformer> numberingKind;
        if (numbering)
            numberingKind.emplace(id);
        Transformable& kind = numbering ? *numberingKind : sharedKind(type);
        if (mode == TransformMode::quick)
            kind.transformQuick(transformScope, properties, file, fileIndex, state);
        else
            kind.transform(transformScope, properties, file, fileIndex, state);
        if (numbering)
            FileIndexCounters::increment(fileIndex, id);
    } catch (const TransformError& error) {
        if (error.kind() == TransformError::Kind::skipped)
            return;
        if (mode == TransformMode::quick && error.kind() == TransformError::Kind::lateUpdateRequired) {
            file.transformed.lateUpdateRequired = true;
            if (numbering)
                FileIndexCounters::increment(fileIndex, id);
            return;
        }
        fail(localizedDescription(error));
        throw;
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
        throw;
    } catch (...) {
        fail(QStringLiteral("Unknown error"));
        throw;
    }
}

Transformer Transformer::fromJson(const QString& json, QStringConverter::Encoding encoding)
{
    return fromJsonData(JsonRead::utf8ForDecoding(json, encoding));
}

Transformer Transformer::fromJsonData(const QByteArray& data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw DecodingError(parseError.errorString());
    if (!document.isObject())
        throw DecodingError(QStringLiteral("Expected a rule object"));
    return fromJsonObject(document.object());
}

Transformer Transformer::fromJsonObject(const QJsonObject& object)
{
    Transformer transformer;
    if (const auto id = JsonRead::optionalString(object, QStringLiteral("id"))) {
        transformer.id = *id;
        noteUsedId(*id);
    }
    const auto typeName = JsonRead::optionalString(object, QStringLiteral("type"));
    if (!typeName)
        throw DecodingError(QStringLiteral("Missing key \"type\""));
    const auto type = transformerTypeFromRawValue(*typeName);
    if (!type)
        throw DecodingError(QStringLiteral("Unknown rule type \"%1\"").arg(*typeName));
    transformer.type = *type;
    if (const auto scopeName = JsonRead::optionalString(object, QStringLiteral("transformScope"))) {
        const auto scope = transformScopeFromRawValue(*scopeName);
        if (!scope)
            throw DecodingError(QStringLiteral("Unknown scope \"%1\"").arg(*scopeName));
        transformer.transformScope = *scope;
    }
    const auto properties = JsonRead::optionalObject(object, QStringLiteral("properties"));
    if (!properties)
        throw DecodingError(QStringLiteral("Missing key \"properties\""));
    transformer.properties = TransformerProperties::fromJson(*properties);
    transformer.disabled = JsonRead::optionalBool(object, QStringLiteral("disabled")).value_or(false);
    transformer.description = JsonRead::optionalString(object, QStringLiteral("description"));
    return transformer;
}

QJsonObject Transformer::toJson() const
{
    QJsonObject object {
        { QStringLiteral("id"), id },
        { QStringLiteral("type"), rawValue(type) },
        { QStringLiteral("transformScope"), rawValue(transformScope) },
        { QStringLiteral("properties"), properties.toJson() },
    };
    if (disabled)
        object.insert(QStringLiteral("disabled"), true);
    if (description && !description->isEmpty())
        object.insert(QStringLiteral("description"), *description);
    return object;
}

bool Transformer::operator==(const Transformer& other) const
{
    return id == other.id && type == other.type && transformScope == other.transformScope
        && disabled == other.disabled && properties.copy(type) == other.properties.copy(other.type)
        && description == other.description;
}

size_t qHash(const Transformer& transformer, size_t seed)
{
    seed = qHashMulti(seed, transformer.id, rawValue(transformer.type), rawValue(transformer.transformScope),
        transformer.disabled);
    seed = transformer.description ? qHashMulti(seed, 1, *transformer.description) : qHashMulti(seed, 0);
    return qHash(transformer.properties.copy(transformer.type), seed);
}
