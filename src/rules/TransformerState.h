// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/UniqueRandomNumberGenerator.h"

// The run state of one rule: never stored, never part of rule equality.
struct TransformerState {
    UniqueRandomNumberGenerator randomNumberGenerator { 1 };

    bool operator==(const TransformerState&) const = default;
};
