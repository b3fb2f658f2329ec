// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// Where the match of a builder token must stand.
enum class RegExpAnchor { none, start, end, startEnd };

namespace RegExpAnchors {

QString rawValue(RegExpAnchor anchor);
// Exact raw value only.
std::optional<RegExpAnchor> fromRawValue(const QString& text);
// A stored value of any type: a known text gives its case, an unknown text none,
// anything else (absence included) `none`.
std::optional<RegExpAnchor> fromAny(const QVariant& value);

} // namespace RegExpAnchors
