// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace String {

// The text of a file's bytes in whatever encoding they are: a byte-order
// mark decides first, then valid UTF-8, then ICU's charset detection.
// Nothing when no encoding reads them.
std::optional<QString> decodedText(const QByteArray& bytes);

} // namespace String
