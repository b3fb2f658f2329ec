// SPDX-License-Identifier: GPL-3.0-or-later
// Token strings: the rule texts inside recipes and on the clipboard.
#include "fuzz/FuzzTarget.h"

#include "tokens/DecodingError.h"
#include "tokens/TokenString.h"

#include <QJsonDocument>

#include <cstdlib>

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    TokenString tokens;
    try {
        tokens = TokenString::fromJson(value);
    } catch (const DecodingError&) {
        return 0;
    }
    tokens.description();
    tokens.resolvedRegexPattern();
    TokenString::fromProperties(tokens.properties());
    // What is written reads back, and writes the same again. (A setting the
    // catalog does not type for its token is not written, so the first reading
    // may hold more than the second.)
    try {
        const QJsonValue written = tokens.toJson();
        if (TokenString::fromJson(written).toJson() != written)
            std::abort();
    } catch (const DecodingError&) {
        std::abort();
    }
    return 0;
}
