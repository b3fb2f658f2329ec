#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two starts of the real application: the first shows its window with a folder;
# the second, started in another folder with a relative recipe path, hands its
# request to the first and ends, and the first opens the recipe (it is then the
# most recent one in the settings). Exit 77 marks a skip.
set -u
binary="$1"
source "$(dirname "$0")/xvfb_home.sh"
touch "$folder/beach.jpg"
printf '%s' '{"transformers":[{"type":"prefix","properties":{}}]}' >"$HOME/holiday.recipe"
xvfb-run -a "$binary" -d "$folder" >"$work/first.out" 2>"$work/first.err" &
first=$!
stop_first() { pkill -TERM -P "$first" 2>/dev/null; kill "$first" 2>/dev/null; wait "$first" 2>/dev/null; }
socket="$XDG_RUNTIME_DIR/brackenfold.socket"
# Generous bounds: a loaded machine may take long to start; a pass ends early.
for _ in $(seq 1 900); do
    [ -S "$socket" ] && break
    sleep 0.1
done
if [ ! -S "$socket" ]; then
    cat "$work/first.err" >&2
    stop_first
    echo "FAIL: the first start did not listen on $socket"
    exit 1
fi
(cd "$HOME" && QT_QPA_PLATFORM=offscreen timeout 90 "$binary" -r holiday.recipe)
second=$?
settings="$XDG_CONFIG_HOME/brackenfold/defaults.json"
opened=1
for _ in $(seq 1 600); do
    if grep -qF "$HOME/holiday.recipe" "$settings" 2>/dev/null; then
        opened=0
        break
    fi
    sleep 0.1
done
stop_first
cat "$work/first.err" >&2
if [ $second -ne 0 ]; then
    echo "FAIL: the second start ended with status $second instead of handing over"
    exit 1
fi
if [ $opened -ne 0 ]; then
    echo "FAIL: the first start did not open the recipe handed over"
    exit 1
fi
echo "The second start handed its recipe to the first"
