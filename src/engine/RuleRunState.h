// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformer.h"

#include <QList>

class Transformers;

// Background passes run on copies of the rules; what they hand back is the run
// state the copies reached, nothing else.
namespace RuleRunState {

// Main thread. Puts the run state of each rule of `passRules` into the listed
// rule with the same id. Everything else stays as the list holds it now, so an
// edit made while the pass ran is kept; rules deleted meanwhile are left out.
void writeBack(Transformers& transformers, const QList<Transformer>& passRules);

} // namespace RuleRunState
