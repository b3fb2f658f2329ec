// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FindParameters.h"
#include "core/TextOffsets.h"

#include <QList>
#include <QString>

#include <functional>

// The shared edit of the Insert, Prefix and Suffix rules.
namespace TextInsertion {

// Inserts `insertion` at the character offset `point` gives for each range,
// walking from the last range to the first so that every range still to come
// keeps its place. Points are clamped to the text.
QString insert(const QString& text, const QList<CharacterRange>& ranges, const QString& insertion,
    const std::function<qint64(const CharacterRange&)>& point);

// The text with `insertion` at every point of the rule's find; unchanged when
// the find gives nothing.
QString insertAtMatches(const QString& text, const FindParameters& parameters, const QString& insertion,
    const std::function<qint64(const CharacterRange&)>& point);

// `a + b`, held at the ends of the qint64 range.
qint64 saturatingAdd(qint64 a, qint64 b);

} // namespace TextInsertion
