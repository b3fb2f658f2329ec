// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/AttributeIds.h"

namespace Basics {

namespace {
const struct {
    Basic basic;
    const char* raw;
} NAMES[] = {
    { Basic::kind, "kind" },
    { Basic::contentType, "content-type" },
    { Basic::dateCreated, "date-created" },
    { Basic::dateModified, "date-modified" },
    { Basic::dateAddedToDirectory, "date-added-to-directory" },
    { Basic::dateContentAccess, "date-content-access" },
    { Basic::fileSize, "file-size" },
    { Basic::tags, "tags" },
    { Basic::inode, "inode" },
    { Basic::volume, "volume" },
};
} // namespace

QString rawValue(Basic basic)
{
    for (const auto& name : NAMES) {
        if (name.basic == basic)
            return QLatin1String(name.raw);
    }
    return {};
}

std::optional<Basic> fromRawValue(const QString& text)
{
    for (const auto& name : NAMES) {
        if (text == QLatin1String(name.raw))
            return name.basic;
    }
    return std::nullopt;
}

} // namespace Basics
