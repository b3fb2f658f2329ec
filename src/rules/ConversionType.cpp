// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/ConversionType.h"

QString rawValue(ConversionType type)
{
    switch (type) {
    case ConversionType::uppercase: return QStringLiteral("uppercase");
    case ConversionType::lowercase: return QStringLiteral("lowercase");
    case ConversionType::capitalizefirst: return QStringLiteral("capitalizefirst");
    case ConversionType::capitalizeall: return QStringLiteral("capitalizeall");
    case ConversionType::titlecase: return QStringLiteral("titlecase");
    case ConversionType::removediacritics: return QStringLiteral("removediacritics");
    case ConversionType::windowscompatibility: return QStringLiteral("windowscompatibility");
    case ConversionType::lookup: return QStringLiteral("lookup");
    }
    return {};
}

std::optional<ConversionType> conversionTypeFromRawValue(const QString& text)
{
    for (ConversionType type : allConversionTypes()) {
        if (rawValue(type) == text)
            return type;
    }
    return std::nullopt;
}

const QList<ConversionType>& allConversionTypes()
{
    static const QList<ConversionType> types { ConversionType::uppercase, ConversionType::lowercase,
        ConversionType::capitalizefirst, ConversionType::capitalizeall, ConversionType::titlecase,
        ConversionType::removediacritics, ConversionType::windowscompatibility, ConversionType::lookup };
    return types;
}
