// SPDX-License-Identifier: GPL-3.0-or-later
// Version texts: of recipes and of the version document. Two texts, split at
// the first newline, are read and compared.
#include "fuzz/FuzzTarget.h"

#include "core/Version.h"

#include <cstdlib>

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    const Version first(newline < 0 ? text : text.left(newline));
    const Version second(newline < 0 ? std::optional<QString>() : text.mid(newline + 1));
    // The order is one: each is equal to itself, and the two compare one way.
    if (!(first == first) || (first < second) == (second < first) && !(first == second))
        std::abort();
    // What is written reads back equal.
    if (!(Version(first.description()) == first))
        std::abort();
    return 0;
}
