// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One parser under fuzzing. Each bench/fuzz_<parser>.cpp defines the entry
// point; built with clang's -fsanitize=fuzzer it is a libFuzzer target,
// otherwise it links FuzzDriver.cpp, a seeded mutation loop over the same
// entry point.

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace Fuzz {

// The application object some parsers look for, and no log output: a
// rejected input is logged, and writing millions of lines is all a run would do.
inline void initialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}

} // namespace Fuzz

// The usual initializer; a target that needs more defines its own.
#define FUZZ_DEFAULT_INITIALIZE                                                                                        \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                                                       \
    {                                                                                                                  \
        Fuzz::initialize(argc, argv);                                                                                  \
        return 0;                                                                                                      \
    }
