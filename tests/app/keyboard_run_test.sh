#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window worked with the keyboard alone under xvfb-run, no pointer event:
# a rule is added and takes the focus, its texts typed, a date token inserted
# from the token panel and its format chosen in its options, the rule moved
# before the first rule, the first rule deleted from its focused button, and
# the files renamed with Ctrl+Return only. Keeps pictures of the window in a
# light and a dark palette. Exit 77 marks a skip.
set -u
binary="$1"
pictures="$2"
source "$(dirname "$0")/xvfb_home.sh"
touch "$folder/IMG_001.jpg" "$folder/IMG_002.jpg" "$folder/notes.txt"
day="$(date -r "$folder/IMG_001.jpg" +%Y%m%d)"
light="$pictures/brackenfold-light.png"
dark="$pictures/brackenfold-dark.png"
rm -f "$light" "$dark"
cat > "$work/script" <<STEPS
wait-files 3
expect-rules 1
key Ctrl+Shift+N
expect-rules 2
expect-current 1
expect-focus Find
type IMG
tab-to Replace
type Holiday
tab-to Insert Token
key Space
expect-focus Search tokens
type date modified
key Tab
expect-focus Tokens
key Return
key Escape
expect-focus Insert Token
key Shift+Tab
expect-focus Replace
key F2
expect-focus Prefix
tab-to Date pattern
key Down
key Down
key Escape
expect-focus Replace
wait-preview
key Ctrl+Shift+PgUp
expect-current 0
key Ctrl+PgDown
expect-current 1
tab-to Rename actions
key Delete
expect-rules 1
expect-current 0
wait-preview
screenshot $light
palette dark
screenshot $dark
palette light
key Ctrl+Return
wait-rename
quit
STEPS
BRACKENFOLD_SCRIPT="$work/script" timeout 100 xvfb-run -a "$binary" -d "$folder" 2>"$work/stderr"
status=$?
if [ $status -ne 0 ]; then
    grep -i "scripted run" "$work/stderr"
    echo "FAIL: the application ended with status $status"
    exit 1
fi
expected="Holiday${day}_001.jpg Holiday${day}_002.jpg notes.txt"
actual="$(cd "$folder" && ls | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the folder holds \"$actual\", expected \"$expected\""
    exit 1
fi
for picture in "$light" "$dark"; do
    if [ ! -s "$picture" ]; then
        echo "FAIL: no window picture at $picture"
        exit 1
    fi
done
echo "Renamed with the keyboard alone: $actual; pictures at $light and $dark"
