// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileIndex.h"
#include "rules/Transformer.h"

#include <QList>
#include <QString>

#include <optional>

class Transformers;

// A Numbering rule with "update start" goes on, in the next run, from where the
// numbering of a finished rename run ended.
struct NumberStartUpdate {
    QString transformerId;
    qint64 previousStart = 1; // the start the run numbered from
    qint64 newStart = 1;

    bool operator==(const NumberStartUpdate&) const = default;
};

namespace NumberStart {

// The start after a run whose counter for the rule ended at `counter`:
// start + skip × c, where c is the counter divided by the repeat count (when
// above 1) and then taken modulo the reset count (when 1 or more). Absent
// settings count as start 1, skip 1, repeat 1, reset 0. None when the result
// does not fit in 64 bits.
std::optional<qint64> advanced(const TransformerProperties& properties, qint64 counter);

// The updates of the rules that carry their start on (Numbering, update start
// on, not random) and have a counter in `fileIndex`; rules whose start would
// overflow keep it.
QList<NumberStartUpdate> updatesAfterRun(const QList<Transformer>& transformers, const FileIndex& fileIndex);

// Main thread. Writes the new starts into the rule list, leaving every rule
// whose start was changed since the run read it (or that is gone).
void apply(Transformers& transformers, const QList<NumberStartUpdate>& updates);

} // namespace NumberStart
