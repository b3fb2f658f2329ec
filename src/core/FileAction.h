// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>

// Kind of a change of the file list; the raw values are the undo step names.
enum class FileAction { replace, append, remove, move, clear };

QString rawValue(FileAction action);

Q_DECLARE_METATYPE(FileAction)
