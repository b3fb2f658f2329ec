// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformable.h"

#include "rules/ReplacementTemplate.h"
#include "tokens/AttributeResolver.h"

#include <QHash>

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

void Transformable::checkPattern(const QString& pattern, RegexOptions options)
{
    // Asked for every file with the same few patterns: each is compiled once
    // per thread and set of options, not once per file. None when it compiles.
    thread_local QHash<QString, std::optional<QString>> errors[4];
    QHash<QString, std::optional<QString>>& known = errors[options.toInt() & 3];
    auto verdict = known.constFind(pattern);
    if (verdict == known.constEnd()) {
        if (known.size() >= 64)
            known.clear();
        QString error;
        const bool compiles = RegularExpression::compile(pattern, options, &error).has_value();
        verdict = known.insert(pattern, compiles ? std::nullopt : std::optional<QString>(error));
    }
    if (*verdict)
        throw regularExpressionError(**verdict);
}

void Transformable::checkFind(const FindParameters& parameters)
{
    // An empty find text stands for the whole name, no pattern.
    if (!parameters.findText.isEmpty())
        checkPattern(parameters.pattern(),
            parameters.caseInsensitive ? RegexOptions(RegexOption::caseInsensitive) : RegexOptions());
}
