// SPDX-License-Identifier: GPL-3.0-or-later
// The version document of the maker's site.
#include "fuzz/FuzzTarget.h"

#include "app/VersionCheck.h"

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    if (const auto info = VersionInfo::fromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error)) {
        const Version version = info->semVersion();
        (void)(version > VersionCheck::currentVersion());
    }
    return 0;
}
