// SPDX-License-Identifier: GPL-3.0-or-later
// Recipe files as they come from disk, the command line or a hand-over.
#include "fuzz/FuzzTarget.h"

#include "rules/Recipe.h"
#include "tokens/DecodingError.h"

#include <cstdlib>

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Recipe recipe;
    try {
        recipe = Recipe::fromData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const DecodingError&) {
        return 0;
    }
    recipe.isSupportedFormat();
    // What was read is written in the current form, and that form reads back.
    try {
        Recipe::fromData(recipe.getData());
    } catch (const DecodingError&) {
        std::abort();
    }
    return 0;
}
