// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"

#include <QUrl>

#include <functional>
#include <optional>

// Reads all attributes of a file. The attribute readers live above the file list,
// so they install the reading function here at start-up.
namespace FileAttributeLoader {

using Load = std::function<FileAttributeDictionary(const QUrl& url)>;

void install(Load load);
// None while no reader is installed.
std::optional<FileAttributeDictionary> load(const QUrl& url);

} // namespace FileAttributeLoader
