// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NumberStart.h"

#include "platform/Log.h"
#include "rules/FileIndex+counters.h"
#include "rules/NumberingTransformer.h"
#include "rules/Transformers.h"

namespace NumberStart {

std::optional<qint64> advanced(const TransformerProperties& properties, qint64 counter)
{
    return NumberingTransformer::sequentialNumber(properties, counter);
}

QList<NumberStartUpdate> updatesAfterRun(const QList<Transformer>& transformers, const FileIndex& fileIndex)
{
    QList<NumberStartUpdate> updates;
    for (const Transformer& transformer : transformers) {
        if (!transformer.isNumberingWithContinuedStart() || !fileIndex.index.contains(transformer.id))
            continue;
        const qint64 counter = FileIndexCounters::value(fileIndex, transformer.id);
        const std::optional<qint64> newStart = advanced(transformer.properties, counter);
        if (!newStart) {
            Log::error(Log::Category::process, "Numbering start of %{public}s not updated: the next start does not fit.",
                transformer.id);
            continue;
        }
        updates << NumberStartUpdate { transformer.id, transformer.properties.numberStart.value_or(1), *newStart };
    }
    return updates;
}

void apply(Transformers& transformers, const QList<NumberStartUpdate>& updates)
{
    QList<Transformer> changed;
    for (const NumberStartUpdate& update : updates) {
        std::optional<Transformer> current = transformers.transformer(update.transformerId);
        if (!current || current->properties.numberStart.value_or(1) != update.previousStart)
            continue;
        current->properties.numberStart = update.newStart;
        changed << *current;
    }
    if (!changed.isEmpty())
        transformers.updateTransformers(changed);
}

} // namespace NumberStart
