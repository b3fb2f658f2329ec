#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs into a temporary folder and checks the desktop's files: the entry
# that opens files and recipes, the recipe type, and "Rename with Brackenfold"
# for the file managers.
set -u
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! DESTDIR="$work" cmake --install "$build" --prefix /usr >"$work/log" 2>&1; then
    cat "$work/log"
    echo "FAIL: cmake --install failed"
    exit 1
fi
share="$work/usr/share"
status=0
expect_file() {
    if [ ! -s "$1" ]; then
        echo "FAIL: missing $1"
        status=1
    fi
}
expect_line() {
    if ! grep -qxF -- "$2" "$1" 2>/dev/null; then
        echo "FAIL: $1 lacks the line: $2"
        status=1
    fi
}
expect_file "$work/usr/bin/brackenfold"
grep -q "GNU GENERAL PUBLIC LICENSE" "$share/doc/brackenfold/LICENSE" 2>/dev/null || { echo "FAIL: no licence in $share/doc/brackenfold"; status=1; }
expect_line "$share/applications/brackenfold.desktop" "Exec=brackenfold %F"
expect_line "$share/applications/brackenfold.desktop" "MimeType=application/x-brackenfold-recipe;inode/directory;"
expect_file "$share/mime/packages/brackenfold-recipe.xml"
grep -q '<glob pattern="\*.recipe"/>' "$share/mime/packages/brackenfold-recipe.xml" || { echo "FAIL: no *.recipe glob"; status=1; }
expect_line "$share/kio/servicemenus/brackenfold.desktop" "Exec=brackenfold --service %F"
expect_line "$share/kio/servicemenus/brackenfold.desktop" "Name=Rename with Brackenfold"
expect_line "$share/nemo/actions/brackenfold.nemo_action" "Exec=brackenfold --service %F"
expect_file "$share/nautilus-python/extensions/brackenfold-nautilus.py"
grep -q '"--service"' "$share/nautilus-python/extensions/brackenfold-nautilus.py" || { echo "FAIL: the Nautilus extension does not hand over"; status=1; }
expect_file "$share/brackenfold/file-manager/thunar-uca.xml"
grep -qF '<command>brackenfold --service %F</command>' "$share/brackenfold/file-manager/thunar-uca.xml" || { echo "FAIL: the Thunar action does not hand over"; status=1; }
if command -v python3 >/dev/null 2>&1; then
    python3 -m py_compile "$share/nautilus-python/extensions/brackenfold-nautilus.py" || status=1
    python3 -c 'import sys, xml.dom.minidom as m; [m.parse(f) for f in sys.argv[1:]]' \
        "$share/mime/packages/brackenfold-recipe.xml" "$share/brackenfold/file-manager/thunar-uca.xml" || status=1
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$share/applications/brackenfold.desktop" || status=1
fi
# The recipe type is known once the MIME database is built from it.
if command -v update-mime-database >/dev/null 2>&1; then
    update-mime-database "$share/mime" >/dev/null 2>&1
    grep -q "application/x-brackenfold-recipe:\*.recipe" "$share/mime/globs" || { echo "FAIL: *.recipe is not in the MIME database"; status=1; }
fi
[ $status -eq 0 ] && echo "The desktop files are in place"
exit $status
