// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The ID3v1 genre names followed by the Winamp extensions, by genre number.
namespace Genre {
const QStringList& predefined();
} // namespace Genre
