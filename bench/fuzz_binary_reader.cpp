// SPDX-License-Identifier: GPL-3.0-or-later
// The binary reader of metadata values: the first bytes choose the reads, the
// rest is the buffer they take from.
#include "fuzz/FuzzTarget.h"

#include "core/Data+reader.h"

#include <cstdlib>

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t steps = size > 0 ? std::min<size_t>(data[0] % 16, size - 1) : 0;
    const QByteArray plan(reinterpret_cast<const char*>(data + (size > 0 ? 1 : 0)), qsizetype(steps));
    QByteArray buffer(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0) + steps, qsizetype(size - (size > 0 ? 1 : 0) - steps));
    static const QStringConverter::Encoding ENCODINGS[] = { QStringConverter::Utf8, QStringConverter::Utf16BE,
        QStringConverter::Utf16LE, QStringConverter::Latin1, QStringConverter::Utf16 };
    for (const char step : plan) {
        const qsizetype before = buffer.size();
        const int length = (quint8(step) >> 4) * 3 - 3; // -3 to 42
        switch (quint8(step) % 12) {
        case 0: Data::takeData(buffer, length); break;
        case 1: Data::takeByte(buffer); break;
        case 2: Data::takeUInt16BigEndian(buffer); break;
        case 3: Data::takeUInt32BigEndian(buffer); break;
        case 4: Data::takeUInt32LittleEndian(buffer); break;
        case 5: Data::takeUInt64BigEndian(buffer); break;
        case 6: Data::takeSynchronizationSafeUInt32BigEndian(buffer); break;
        case 7: Data::takeString(buffer, length); break;
        case 8: Data::takeString(buffer, length, ENCODINGS[(quint8(step) >> 4) % 5]); break;
        case 9: Data::string(buffer, length); break;
        case 10: Data::uint32BigEndian(buffer) + Data::uint32LitleEndian(buffer); break;
        default: {
            // Hexadecimal text reads back as the bytes it was made of.
            const QByteArray back = Data::fromHexEncodedString(Data::hexEncodedString(buffer, Data::HexEncodingOption::upperCase));
            if (back != buffer)
                std::abort();
            break;
        }
        }
        // A take never grows the buffer.
        if (buffer.size() > before)
            std::abort();
    }
    return 0;
}
