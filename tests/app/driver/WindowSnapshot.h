// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// For smoke runs: with BRACKENFOLD_SCREENSHOT=path set, the application saves a
// picture of its window to that path once the window shows what the command line
// opened (or, without "-d", once it is shown), then quits.
namespace WindowSnapshot {

void installFromEnvironment(QWidget* window);

} // namespace WindowSnapshot
