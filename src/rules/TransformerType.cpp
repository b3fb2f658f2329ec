// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformerType.h"

QString rawValue(TransformerType type)
{
    switch (type) {
    case TransformerType::simple: return QStringLiteral("simple");
    case TransformerType::insert: return QStringLiteral("insert");
    case TransformerType::prefix: return QStringLiteral("prefix");
    case TransformerType::suffix: return QStringLiteral("suffix");
    case TransformerType::set: return QStringLiteral("set");
    case TransformerType::trim: return QStringLiteral("trim");
    case TransformerType::numbering: return QStringLiteral("numbering");
    case TransformerType::conversion: return QStringLiteral("conversion");
    case TransformerType::regex: return QStringLiteral("regularexpression");
    case TransformerType::select: return QStringLiteral("select");
    }
    return {};
}

std::optional<TransformerType> transformerTypeFromRawValue(const QString& text)
{
    for (TransformerType type : allTransformerTypes()) {
        if (rawValue(type) == text)
            return type;
    }
    return std::nullopt;
}

const QList<TransformerType>& allTransformerTypes()
{
    static const QList<TransformerType> types { TransformerType::simple, TransformerType::insert,
        TransformerType::prefix, TransformerType::suffix, TransformerType::set, TransformerType::trim,
        TransformerType::numbering, TransformerType::conversion, TransformerType::regex, TransformerType::select };
    return types;
}
