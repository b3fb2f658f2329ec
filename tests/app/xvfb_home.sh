# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the runs of the real application under xvfb-run: skips (exit 77)
# without xvfb-run, and gives the run a temporary home folder of its own, since
# opened folders must lie under the home folder. Sets $work and $folder, an
# empty folder under that home.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIP: xvfb-run is not installed; running the window needs it."
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
folder="$HOME/Pictures/holiday"
mkdir -p "$folder" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
