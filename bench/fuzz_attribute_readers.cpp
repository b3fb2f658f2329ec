// SPDX-License-Identifier: GPL-3.0-or-later
// The image, audio and video readers over damaged files: the first byte picks
// the file's extension, the rest is its content. Every reader runs on every
// input, whatever its extension asks for. The seeds are files made by the test
// fixtures (tests/tokens/MediaFixtures.h).
#include "fuzz/FuzzTarget.h"

#include "tokens/FileAttributeUtil.h"
#include "tokens/ImageProperties.h"
#include "tokens/MediaAsset.h"
#include "tokens/TokenDetailsList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const char* const EXTENSIONS[] = { "jpg", "mp3", "flac", "m4a", "mov", "ogg", "wav", "mp4", "avi", "png", "tif", "webp" };

QTemporaryDir& folder()
{
    static QTemporaryDir temporary;
    return temporary;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::initialize(argc, argv);
    return folder().isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString path = folder().filePath(QStringLiteral("input.")
        + QLatin1String(EXTENSIONS[data[0] % (sizeof EXTENSIONS / sizeof *EXTENSIONS)]));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    static const QList<TokenDetailsRef> mediaEntries = [] {
        const TokenDetailsList& catalog = TokenDetailsList::shared();
        return catalog.avTokenDetails + catalog.id3TokenDetails + catalog.flacTokenDetails;
    }();
    FileAttributeDictionary attributes = FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(path));
    if (const auto properties = ImageProperties::read(path))
        FileAttributeUtil::imageAttributes(*properties, attributes);
    if (const auto asset = MediaAsset::load(path))
        FileAttributeUtil::avAssetAttributes(*asset, QStringLiteral("input"), attributes, mediaEntries);
    MediaAsset::tagItems(path);
    return 0;
}
