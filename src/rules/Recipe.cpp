// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Recipe.h"

#include "platform/RegularFile.h"
#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
const QString kVersionKey = QStringLiteral("recipe_format_version");
const QString kTransformersKey = QStringLiteral("transformers");
const QString kSortOrderKey = QStringLiteral("sortOrder");

// The error names the rule, so a refused recipe can be mended by hand.
Transformer ruleFromJson(const QJsonObject& object, qsizetype position)
{
    try {
        return Transformer::fromJsonObject(object);
    } catch (const DecodingError& error) {
        const QString type = object.value(QStringLiteral("type")).toString();
        const QString kind = type.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(type);
        throw DecodingError(QStringLiteral("Rule %1%2: %3").arg(position).arg(kind, error.message()));
    }
}
} // namespace

QJsonObject Recipe::toJson() const
{
    QJsonObject object;
    if (recipeFormatVersion)
        object.insert(kVersionKey, *recipeFormatVersion);
    if (transformers) {
        QJsonArray rules;
        for (const Transformer& transformer : *transformers)
            rules.append(transformer.toJson());
        object.insert(kTransformersKey, rules);
    }
    if (sortOrder)
        object.insert(kSortOrderKey, rawValue(*sortOrder));
    return object;
}

QByteArray Recipe::getData() const
{
    // Objects keep their keys sorted, so the text has them sorted at every level.
    QByteArray data = QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
    // Recipes have always been written with escaped slashes; in compact JSON a
    // slash can only stand inside a string.
    data.replace("/", "\\/");
    return data;
}

Recipe Recipe::fromData(const QByteArray& data)
{
    try {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            throw DecodingError(QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        if (!document.isObject())
            throw DecodingError(QStringLiteral("Expected a recipe object"));
        return fromJson(document.object());
    } catch (const DecodingError& error) {
        throw DecodingError(
            QStringLiteral("The data couldn’t be read because it isn’t in the correct format. (%1)").arg(error.message()));
    }
}

Recipe Recipe::fromURL(const QUrl& url)
{
    const QString path = url.toLocalFile();
    const QString name = QFileInfo(path).fileName();
    const RegularFile::Contents contents = RegularFile::read(path, MAX_FILE_SIZE);
    switch (contents.failure) {
    case RegularFile::Failure::none:
        break;
    case RegularFile::Failure::cannotOpen:
        throw DecodingError(QStringLiteral("The file “%1” couldn’t be opened. (%2)").arg(name, contents.reason));
    case RegularFile::Failure::notRegular:
        throw DecodingError(
            QStringLiteral("The file “%1” couldn’t be opened because it is not a regular file.").arg(name));
    case RegularFile::Failure::tooLarge:
        // Far beyond any list of rules: a file this large is not a recipe.
        throw DecodingError(QStringLiteral("The file “%1” is too large to be a recipe.").arg(name));
    case RegularFile::Failure::cannotRead:
        throw DecodingError(QStringLiteral("The file “%1” couldn’t be read. (%2)").arg(name, contents.reason));
    }
    const QByteArray& data = contents.data;
    return fromData(data);
}

Recipe Recipe::fromText(const QString& json, QStringConverter::Encoding encoding)
{
    return fromData(JsonRead::utf8ForDecoding(json, encoding));
}

Recipe Recipe::fromJson(const QJsonObject& object)
{
    Recipe recipe;
    recipe.recipeFormatVersion = JsonRead::optionalString(object, kVersionKey);
    if (const auto rules = JsonRead::optionalArray(object, kTransformersKey)) {
        QList<Transformer> list;
        list.reserve(rules->size());
        for (const QJsonValue& rule : *rules) {
            if (!rule.isObject())
                throw DecodingError(QStringLiteral("Expected a rule object in \"%1\"").arg(kTransformersKey));
            list << ruleFromJson(rule.toObject(), list.size() + 1);
        }
        recipe.transformers = list;
    }
    if (const auto name = JsonRead::optionalString(object, kSortOrderKey)) {
        recipe.sortOrder = fileSortOrderFromRawValue(*name);
        if (!recipe.sortOrder)
            throw DecodingError(QStringLiteral("Unknown sort order \"%1\"").arg(*name));
    }
    return recipe;
}

bool Recipe::isSupportedFormat() const
{
    return RECIPE_FORMAT_VERSION >= Version(recipeFormatVersion);
}
