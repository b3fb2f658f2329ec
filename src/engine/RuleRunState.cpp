// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RuleRunState.h"

#include "rules/Transformers.h"

namespace RuleRunState {

void writeBack(Transformers& transformers, const QList<Transformer>& passRules)
{
    QList<Transformer> updated;
    for (const Transformer& passRule : passRules) {
        const std::optional<qsizetype> index = transformers.indexOf(passRule.id);
        if (!index)
            continue;
        Transformer current = transformers.list().at(*index);
        if (current.state == passRule.state)
            continue;
        current.state = passRule.state;
        updated << current;
    }
    transformers.updateTransformers(updated);
}

} // namespace RuleRunState
