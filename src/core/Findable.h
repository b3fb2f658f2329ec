// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FindParameters.h"
#include "core/TextOffsets.h"

#include <QList>

#include <optional>

// Where the find text of a rule occurs in a name. An empty find text stands for
// the whole name; no match gives none, never an empty list.
namespace Findable {

// Character ranges of the text. A find text that is no valid pattern, or that
// takes too long, also gives none, with `error` set.
std::optional<QList<CharacterRange>> findRanges(const QString& text, const FindParameters& parameters,
    QString* error = nullptr);

// UTF-16 ranges of the text. A find text that is no valid pattern, or that
// takes too long, also gives none, with `error` set.
std::optional<QList<TextRange>> findIndexRanges(const QString& text, const FindParameters& parameters,
    QString* error = nullptr);

} // namespace Findable
