#pragma once

#include "core/GPSAddress.h"
#include "files/FileAttribute.h"

#include <QSet>
#include <QString>

#include <mutex>
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
};

// Answers from the stored GPS address cache only: a position without a cached
// address gives "" where the internet may be asked, and late-update-required
// in the preview while address lookup is on. Reverse geocoding replaces it.
class GPSCacheAddressLookup : public GPSAddressLookup {
public:
    explicit GPSCacheAddressLookup(GPSAddressMap cache);
    QString resolveGPSAddressAttribute(const TokenItem& item, const FileAttributes& attributes,
        const GPSLookupSources& source) override;

private:
    std::mutex m_mutex;
    GPSAddressMap m_cache;
};

namespace GPSAddresses {

// The position of the file in signed degrees (south and west negative),
// rounded to 6 decimals; none unless all four GPS attributes are there.
struct Position {
    double latitude;
    double longitude;
};
std::optional<Position> position(const FileAttributes& attributes);
// The text of a GPS address token key, compared exactly; "" for other keys.
QString valueByKey(const GPSAddress& address, const QString& key);

} // namespace GPSAddresses
