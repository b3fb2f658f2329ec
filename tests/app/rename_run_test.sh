#!/bin/bash
# End-to-end run of the real application under xvfb-run: it opens a folder from
# its command line, adds a Replace rule, types its find and replace texts, waits
# for the preview, presses Rename and quits; the files on disk must then carry
# the new names. Keeps a picture of the window. Exit 77 marks a skip.
set -u
binary="$1"
screenshot="$2"
source "$(dirname "$0")/xvfb_home.sh"
touch "$folder/IMG_001.jpg" "$folder/IMG_002.jpg" "$folder/notes.txt"
rm -f "$screenshot"
cat > "$work/script" <<STEPS
wait-files 3
add-rule simple
find-text IMG
replace-text Holiday
wait-preview
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
expected="Holiday_001.jpg Holiday_002.jpg notes.txt"
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
