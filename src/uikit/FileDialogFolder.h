// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFileDialog;

// Where a file dialog starts, rather than in the process's working folder: in
// the folder the user works on, else where that dialog was last accepted, else
// in the home folder. Each dialog remembers its own last folder in the settings.
namespace FileDialogFolder {

// `context` counts when it names an existing folder; the remembered folder too.
QString startFolder(const QString& dialogName, const QString& context);
// Starts `dialog` there and remembers the folder it is accepted in.
void attach(QFileDialog* dialog, const QString& dialogName, const QString& context);
// The settings key of a dialog's last folder.
QString settingsKey(const QString& dialogName);

} // namespace FileDialogFolder
