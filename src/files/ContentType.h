// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The MIME type of an item and its comment (the kind shown to the user).
// Names that end alike have one type unless a pattern of the database looks at
// the rest of the name ("CMakeLists.txt", "README*"): the database is asked
// once per ending, and only those names, or endings it cannot tell by name,
// are looked up one by one. Safe from any thread.
namespace ContentType {

struct Facts {
    QString name;
    QString comment;
};

std::optional<Facts> ofDirectory();
std::optional<Facts> ofSymbolicLink();
// `isRegularFile` false (a device, a pipe, a socket) always asks the database.
std::optional<Facts> ofFile(const QString& fullPath, bool isRegularFile = true);

} // namespace ContentType
