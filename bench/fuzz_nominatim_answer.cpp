// SPDX-License-Identifier: GPL-3.0-or-later
// Answers of the reverse geocoding service: the first byte picks the HTTP status.
#include "fuzz/FuzzTarget.h"

#include "tokens/NominatimGeocoder.h"

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const int STATUSES[] = { 200, 200, 200, 200, 400, 403, 404, 429, 500, 503 };
    const int status = STATUSES[data[0] % (sizeof STATUSES / sizeof *STATUSES)];
    NominatimGeocoder::parseAnswer(status, QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
    return 0;
}
