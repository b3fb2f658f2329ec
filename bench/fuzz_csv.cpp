// SPDX-License-Identifier: GPL-3.0-or-later
// CSV text as the lookup table imports it: the bytes of a file decoded, then
// read row by row.
#include "fuzz/FuzzTarget.h"

#include "core/String+csv.h"
#include "core/String+encoding.h"

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<QString> text = String::decodedText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!text)
        return 0;
    QString written;
    String::parseCSV(*text, [&written](const QStringList& fields) {
        for (const QString& field : fields)
            written += String::escapedForCSV(field) + QLatin1Char(';');
        written += QLatin1Char('\n');
    });
    String::parseCSV(written, [](const QStringList&) {});
    return 0;
}
