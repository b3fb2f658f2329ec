// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/TransformScope.h"

// What a token field asks of the rule editor it sits in.
class TokenFieldHost {
public:
    virtual ~TokenFieldHost() = default;
    // The scope of the rule shown: a dropped file-table row gives that part
    // of the file's name.
    virtual TransformScope currentScopeValue() const = 0;
};
