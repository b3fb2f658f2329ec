#pragma once

struct File;

// Decides, file by file, whether the file table shows a row. The controller
// knows it as TableViewController::Filter.
struct FileTableFilter {
    bool toBeChanged = false;        // only files that will be renamed
    bool hiddenFiles = false;        // hidden files even when they stay unchanged
    bool renameEmptyFolders = true;  // folder rows

    bool toggleToBeChanged();
    bool toggleHiddenFiles();
    void updateToLatestPreferences();

    bool filterFile(const File& file) const;
    bool isHiddenFileToBeChangedOrHasErrors(const File& file) const;

    bool operator==(const FileTableFilter&) const = default;
};
