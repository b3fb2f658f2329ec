// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// The sections of the token catalog, in catalog order.
enum class TokenCategory { file, media, exif, gps, id3, flac, av, regex };

namespace TokenCategories {

const QList<TokenCategory>& allCases();
// "File", "Media", … as the token panel shows them.
QString rawValue(TokenCategory category);
// The section key of the catalog resource: "BASIC", "MEDIA", …
QString sectionKey(TokenCategory category);

} // namespace TokenCategories
