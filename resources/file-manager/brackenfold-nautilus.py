# SPDX-License-Identifier: GPL-3.0-or-later
# "Rename with Brackenfold" in the context menu of Nautilus (through the
# nautilus-python extension). The selected local files and folders are handed
# to Brackenfold, which asks whether to replace or append its list.
import subprocess

from gi.repository import GObject, Nautilus


class BrackenfoldMenuProvider(GObject.GObject, Nautilus.MenuProvider):
    @staticmethod
    def _paths(files):
        paths = []
        for file in files:
            location = file.get_location()
            path = location.get_path() if location is not None else None
            if path:
                paths.append(path)
        return paths

    def _rename(self, _menu, paths):
        # An argument list, never a shell: names may hold any character.
        subprocess.Popen(["brackenfold", "--service", *paths])

    # Nautilus 43 passes the files alone, earlier versions the window first.
    def get_file_items(self, *args):
        paths = self._paths(args[-1])
        if not paths:
            return []
        item = Nautilus.MenuItem(
            name="Brackenfold::RenameWithBrackenfold",
            label="Rename with Brackenfold",
            tip="Rename the selected files and folders with Brackenfold",
        )
        item.connect("activate", self._rename, paths)
        return [item]
