#!/bin/bash
# Runs the application under xvfb-run with a folder on its command line and
# checks that it wrote a picture of its window. Exit 77 marks a skip.
set -u
binary="$1"
screenshot="$2"
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIP: xvfb-run is not installed; the smoke run of the window needs it."
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Opened folders must lie under the home folder: give the run one of its own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME/Pictures/holiday" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
touch "$HOME/Pictures/holiday/beach.jpg" "$HOME/Pictures/holiday/harbour.jpg" "$HOME/Pictures/holiday/notes.txt"
rm -f "$screenshot"
unset QT_QPA_PLATFORM
BRACKENFOLD_SCREENSHOT="$screenshot" timeout 90 xvfb-run -a "$binary" -d "$HOME/Pictures/holiday" 2>"$work/stderr"
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
