// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/MainWindow.h"

int main(int argc, char* argv[])
{
    return AppDelegate::main(argc, argv);
}
