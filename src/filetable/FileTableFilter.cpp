#include "filetable/FileTableFilter.h"

#include "core/Preference.h"
#include "files/File.h"

bool FileTableFilter::toggleToBeChanged()
{
    toBeChanged = !toBeChanged;
    return toBeChanged;
}

bool FileTableFilter::toggleHiddenFiles()
{
    hiddenFiles = !hiddenFiles;
    return hiddenFiles;
}

void FileTableFilter::updateToLatestPreferences()
{
    renameEmptyFolders = Preference::boolFor(PreferenceKey::renameEmptyFolders);
}

bool FileTableFilter::isHiddenFileToBeChangedOrHasErrors(const File& file) const
{
    if (!file.source.isHidden())
        return true;
    if (file.isToBeChanged())
        return true;
    return !file.validation.errors.isEmpty() || hiddenFiles;
}

bool FileTableFilter::filterFile(const File& file) const
{
    if (toBeChanged && !file.isToBeChanged())
        return false;
    if (!isHiddenFileToBeChangedOrHasErrors(file))
        return false;
    if (renameEmptyFolders || !file.isDirectory())
        return true;
    return file.source.isHidden() && hiddenFiles;
}
