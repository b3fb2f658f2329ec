#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end run of the real application under xvfb-run: it opens a folder from
# its command line, plays the steps of a scenario (adding rules and typing into
# their editors as a user does), waits for the preview, presses Rename and
# quits; the files on disk must then carry the scenario's expected names.
# Keeps a picture of the window. Exit 77 marks a skip.
#
# A scenario file sets: files (names to create), steps (the script up to and
# including wait-preview) and expected (the sorted names after the run).
set -u
binary="$1"
screenshot="$2"
scenario="$3"
source "$(dirname "$0")/xvfb_home.sh"
source "$scenario"
for name in "${files[@]}"; do
    touch "$folder/$name"
done
rm -f "$screenshot"
cat > "$work/script" <<STEPS
wait-files ${#files[@]}
$steps
rename
wait-rename
screenshot $screenshot
quit
STEPS
BRACKENFOLD_SCRIPT="$work/script" timeout 100 xvfb-run -a "$binary" -d "$folder"
status=$?
if [ $status -ne 0 ]; then
    echo "FAIL: the application ended with status $status"
    exit 1
fi
actual="$(cd "$folder" && ls | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the folder holds \"$actual\", expected \"$expected\""
    exit 1
fi
if [ ! -s "$screenshot" ]; then
    echo "FAIL: no window picture at $screenshot"
    exit 1
fi
echo "Renamed on disk: $actual; window picture at $screenshot"
