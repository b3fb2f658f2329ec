// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"

#include <QString>
#include <QVariant>

#include <optional>

// The texts of the file inspector's attribute values.
namespace FileDetailsFormatter {

// A floating-point number with at most 5 decimals; an attribute value as its
// text; any other value as its own text; nothing for no value.
std::optional<QString> string(const QVariant& value);
// A text unchanged, a number as its own text, a date in the current time zone.
QString string(const AttributeValue& value);

} // namespace FileDetailsFormatter
