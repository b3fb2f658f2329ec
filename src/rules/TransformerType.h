// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The kinds of rename rules, stored by their raw names.
enum class TransformerType { simple, insert, prefix, suffix, set, trim, numbering, conversion, regex, select };

// "simple", ..., "regularexpression", "select"; also the text form of a kind.
QString rawValue(TransformerType type);
std::optional<TransformerType> transformerTypeFromRawValue(const QString& text);
// Every kind, simple first and select last.
const QList<TransformerType>& allTransformerTypes();
