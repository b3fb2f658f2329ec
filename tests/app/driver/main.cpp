// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedRun.h"
#include "WindowSnapshot.h"
#include "app/AppDelegate.h"
#include "app/MainWindow.h"

// The application as shipped, plus the hooks that let the end-to-end tests
// drive it: a picture of the window (BRACKENFOLD_SCREENSHOT) and a script of
// user steps (BRACKENFOLD_SCRIPT).
int main(int argc, char* argv[])
{
    return AppDelegate::main(argc, argv, [](MainWindow& window) {
        WindowSnapshot::installFromEnvironment(&window);
        ScriptedRun::installFromEnvironment(&window);
    });
}
