// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpAnchor.h"

namespace RegExpAnchors {

QString rawValue(RegExpAnchor anchor)
{
    switch (anchor) {
    case RegExpAnchor::none: return QStringLiteral("none");
    case RegExpAnchor::start: return QStringLiteral("start");
    case RegExpAnchor::end: return QStringLiteral("end");
    case RegExpAnchor::startEnd: return QStringLiteral("startEnd");
    }
    return QStringLiteral("none");
}

std::optional<RegExpAnchor> fromRawValue(const QString& text)
{
    for (RegExpAnchor anchor : { RegExpAnchor::none, RegExpAnchor::start, RegExpAnchor::end, RegExpAnchor::startEnd }) {
        if (rawValue(anchor) == text)
            return anchor;
    }
    return std::nullopt;
}

std::optional<RegExpAnchor> fromAny(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString)
        return fromRawValue(value.toString());
    if (value.metaType() == QMetaType::fromType<RegExpAnchor>())
        return value.value<RegExpAnchor>();
    return RegExpAnchor::none;
}

} // namespace RegExpAnchors
