// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenCategory.h"

namespace TokenCategories {

const QList<TokenCategory>& allCases()
{
    static const QList<TokenCategory> cases = { TokenCategory::file, TokenCategory::media, TokenCategory::exif,
        TokenCategory::gps, TokenCategory::id3, TokenCategory::flac, TokenCategory::av, TokenCategory::regex };
    return cases;
}

QString rawValue(TokenCategory category)
{
    switch (category) {
    case TokenCategory::file: return QStringLiteral("File");
    case TokenCategory::media: return QStringLiteral("Media");
    case TokenCategory::exif: return QStringLiteral("Exif");
    case TokenCategory::gps: return QStringLiteral("GPS");
    case TokenCategory::id3: return QStringLiteral("Id3");
    case TokenCategory::flac: return QStringLiteral("Flac");
    case TokenCategory::av: return QStringLiteral("AV");
    case TokenCategory::regex: return QStringLiteral("Regex");
    }
    return {};
}

QString sectionKey(TokenCategory category)
{
    switch (category) {
    case TokenCategory::file: return QStringLiteral("BASIC");
    case TokenCategory::media: return QStringLiteral("MEDIA");
    case TokenCategory::exif: return QStringLiteral("EXIF");
    case TokenCategory::gps: return QStringLiteral("GPS");
    case TokenCategory::id3: return QStringLiteral("ID3");
    case TokenCategory::flac: return QStringLiteral("FLAC");
    case TokenCategory::av: return QStringLiteral("AV");
    case TokenCategory::regex: return QStringLiteral("REGEX");
    }
    return {};
}

} // namespace TokenCategories
