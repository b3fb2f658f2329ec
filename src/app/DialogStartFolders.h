// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folders the file dialogs of the window start from.
namespace DialogStartFolders {

// The folder of what the file list opened; empty when nothing is open.
QString openedFolder();
// The folder of the recipe in use, else the opened folder.
QString recipeFolder();

} // namespace DialogStartFolders
