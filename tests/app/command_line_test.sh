#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real binary answers --help and --version on its standard output and ends
# with status 0: without a display, it would fail if it started the window, and
# it leaves no single-instance socket behind.
set -u
binary="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
# arguments... | the pattern the first line of the output matches
while IFS='|' read -r arguments pattern; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    timeout 60 "$binary" $arguments >"$work/out" 2>"$work/err"
    status=$?
    first="$(head -n 1 "$work/out")"
    if [ $status -ne 0 ]; then
        echo "FAIL: '$arguments' ended with status $status"; cat "$work/err"; failed=1
    elif ! [[ "$first" =~ $pattern ]]; then
        echo "FAIL: '$arguments' printed '$first'"; failed=1
    elif [ -s "$work/err" ]; then
        echo "FAIL: '$arguments' wrote to standard error:"; cat "$work/err"; failed=1
    elif [ -e "$XDG_RUNTIME_DIR/brackenfold.socket" ]; then
        echo "FAIL: '$arguments' started an instance"; failed=1
    else
        echo "ok: '$arguments' printed '$first'"
    fi
done <<'CASES'
--help|^Usage: brackenfold \[-d PATH\]\.\.\. \[-r RECIPE\] \[PATH\]\.\.\.$
--version|^Brackenfold [0-9]+\.[0-9]+
-d /nowhere --help|^Usage: brackenfold
--version --help|^Usage: brackenfold
-r {} --version|^Brackenfold [0-9]
CASES
exit $failed
