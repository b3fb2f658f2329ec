// SPDX-License-Identifier: GPL-3.0-or-later
// GPS texts: ISO 6709 locations of movies, and the stored forms of coordinates
// and cached addresses; the positions found are formatted as tokens show them.
#include "fuzz/FuzzTarget.h"

#include "core/GPSAddress.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/GPSCache.h"
#include "tokens/GPSCoordinate.h"
#include "tokens/GPSFormatUtil.h"
#include "tokens/GPSPrecision.h"

#include <QJsonDocument>
#include <QJsonObject>

FUZZ_DEFAULT_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto components = FileAttributeUtil::toISO6709GPSComponents(QString::fromUtf8(bytes))) {
        for (const auto& [id, value] : *components) {
            GPSFormatUtil::formatGPSCoordinate(value, QStringLiteral("N"));
            GPSFormatUtil::formatGPSDecimal(value, std::nullopt);
            for (GPSPrecision precision : GPSPrecisions::allCases())
                GPSCache::key(value.toDouble(), value.toDouble(), precision);
        }
    }
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isObject()) {
        const QJsonObject object = document.object();
        const GPSCoordinate coordinate = GPSCoordinate::fromJson(object);
        GPSCoordinate::fromJson(coordinate.toJson());
        if (const auto address = GPSAddress::fromJson(object))
            GPSAddress::fromJson(address->toJson());
    }
    return 0;
}
