// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GPSAddress.h"
#include "files/FileAttribute.h"
#include "tokens/GPSError.h"

#include <QSet>
#include <QString>

#include <optional>

struct TokenItem;

// Where a GPS address may come from.
enum class GPSLookupSource { internet, cache };
using GPSLookupSources = QSet<GPSLookupSource>;

inline size_t qHash(GPSLookupSource source, size_t seed = 0)
{
    return qHash(int(source), seed);
}

// Gives the text of a GPS address token for one file's attributes.
class GPSAddressLookup {
public:
    virtual ~GPSAddressLookup() = default;
    // Throws TransformError.
    virtual QString resolveGPSAddressAttribute(const TokenItem& item, const FileAttributes& attributes,
        const GPSLookupSources& source) = 0;
    // A new rename run asks again for positions that failed before.
    virtual void forgetFailures() {}
    // Why the address of the file's position stays empty until the next rename
    // run begins (its lookup failed, or the service cannot be reached).
    virtual std::optional<QString> missingAddressReason(const FileAttributes& attributes) { return std::nullopt; }
    // The first failure since the last rename run began, handed out once, for
    // the window to say so.
    virtual std::optional<GPSError> takeUnreportedFailure() { return std::nullopt; }
    // Whether an address came from the network since the last rename run
    // began: names made before then may lack it.
    virtual bool foundAddressesOnline() { return false; }
};

namespace GPSAddresses {

// The position of the file in signed degrees (south and west negative),
// rounded to 6 decimals; none unless all four GPS attributes are there.
struct Position {
    double latitude;
    double longitude;
};
std::optional<Position> position(const FileAttributes& attributes);
// The text of a GPS address token key, whatever its letter case; "" for other keys.
QString valueByKey(const GPSAddress& address, const QString& key);

} // namespace GPSAddresses
