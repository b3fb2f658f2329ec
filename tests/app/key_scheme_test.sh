#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the menu's shortcut tests on a virtual X server under a desktop's key
# scheme ("gnome" or "kde"): the scheme decides which keys the text fields
# and the standard commands take. Exit 77 marks a skip.
set -u
binary="$1"
scheme="$2"
source "$(dirname "$0")/xvfb_home.sh"
QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME="$scheme" BRACKENFOLD_KEY_SCHEME="$scheme" \
    timeout 100 xvfb-run -a "$binary" --gtest_filter='KeySchemeTest.*' --gtest_brief=1
