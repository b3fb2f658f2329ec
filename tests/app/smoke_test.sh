#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the application under xvfb-run with a folder on its command line and
# checks that it wrote a picture of its window. Exit 77 marks a skip.
set -u
binary="$1"
screenshot="$2"
source "$(dirname "$0")/xvfb_home.sh"
touch "$folder/beach.jpg" "$folder/harbour.jpg" "$folder/notes.txt"
rm -f "$screenshot"
BRACKENFOLD_SCREENSHOT="$screenshot" timeout 90 xvfb-run -a "$binary" -d "$folder" 2>"$work/stderr"
status=$?
cat "$work/stderr" >&2
if [ $status -ne 0 ]; then
    echo "FAIL: the application ended with status $status"
    exit 1
fi
if [ ! -s "$screenshot" ]; then
    echo "FAIL: no window picture at $screenshot"
    exit 1
fi
if ! grep -q "Window snapshot: the file table shows 3 rows" "$work/stderr"; then
    echo "FAIL: the file table did not show the three opened files"
    exit 1
fi
echo "Window picture written to $screenshot"
