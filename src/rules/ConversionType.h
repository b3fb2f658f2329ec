// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The conversions of the Conversion rule, stored by their raw names.
enum class ConversionType {
    uppercase, lowercase, capitalizefirst, capitalizeall, titlecase, removediacritics, windowscompatibility, lookup
};

QString rawValue(ConversionType type);
std::optional<ConversionType> conversionTypeFromRawValue(const QString& text);
const QList<ConversionType>& allConversionTypes();
