// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Logger {

// "Brackenfold/FileDataSource" and "load" give "FileDataSource.load"; an empty
// function name gives the file stem alone.
QString calledBy(const QString& file, const QString& function);

} // namespace Logger
