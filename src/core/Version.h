// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <compare>
#include <optional>

// A dotted version number such as 9.1 or 4.2.3. Any text, or none, gives a
// version: parts that are not numbers read as 0 (major, minor) or as no patch.
// Ordering and equality compare the numbers only, a missing patch counting as 0.
struct Version {
    QString version;
    qint64 major = 0;
    qint64 minor = 0;
    std::optional<qint64> patch;

    explicit Version(const std::optional<QString>& text = std::nullopt);

    // "major.minor", or "major.minor.patch" when there is a patch.
    QString description() const;

    std::strong_ordering operator<=>(const Version& other) const;
    bool operator==(const Version& other) const;
};
