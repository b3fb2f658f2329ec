// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct File;

// Decides, file by file, whether the file table shows a row. The controller
// knows it as TableViewController::Filter.
struct FileTableFilter {
    // What the decision reads of a file.
    struct Facts {
        bool hidden = false;      // the last component of the original path starts with "."
        bool toBeChanged = false; // File::isToBeChanged
        bool hasErrors = false;
        bool isFolder = false;
    };

    bool toBeChanged = false;        // only files that will be renamed
    bool hiddenFiles = false;        // hidden files even when they stay unchanged
    bool renameEmptyFolders = true;  // folder rows

    bool toggleToBeChanged();
    bool toggleHiddenFiles();
    void updateToLatestPreferences();

    bool filterFile(const File& file) const;
    bool filterFile(const Facts& facts) const;
    bool isHiddenFileToBeChangedOrHasErrors(const File& file) const;
    bool isHiddenFileToBeChangedOrHasErrors(const Facts& facts) const;
    // Whether the decision needs to know if the file will be renamed.
    bool needsToBeChanged(bool hidden) const { return toBeChanged || hidden; }
    static Facts facts(const File& file);

    bool operator==(const FileTableFilter&) const = default;
};
