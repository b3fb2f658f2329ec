// SPDX-License-Identifier: GPL-3.0-or-later
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

FileTableFilter::Facts FileTableFilter::facts(const File& file)
{
    return Facts { file.source.isHidden(), file.isToBeChanged(), !file.validation.errors.isEmpty(), file.isDirectory() };
}

bool FileTableFilter::isHiddenFileToBeChangedOrHasErrors(const File& file) const
{
    return isHiddenFileToBeChangedOrHasErrors(facts(file));
}

bool FileTableFilter::isHiddenFileToBeChangedOrHasErrors(const Facts& facts) const
{
    if (!facts.hidden)
        return true;
    if (facts.toBeChanged)
        return true;
    return facts.hasErrors || hiddenFiles;
}

bool FileTableFilter::filterFile(const File& file) const
{
    return filterFile(facts(file));
}

bool FileTableFilter::filterFile(const Facts& facts) const
{
    if (toBeChanged && !facts.toBeChanged)
        return false;
    if (!isHiddenFileToBeChangedOrHasErrors(facts))
        return false;
    if (renameEmptyFolders || !facts.isFolder)
        return true;
    return facts.hidden && hiddenFiles;
}
