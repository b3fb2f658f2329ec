// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The part of the path a rule edits.
enum class TransformScope { filename, path, ext, fullPath };

// The stored names: "filename", "path", "extension", "fullpath".
QString rawValue(TransformScope scope);
std::optional<TransformScope> transformScopeFromRawValue(const QString& text);
