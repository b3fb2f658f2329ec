// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "filetable/FileTableFilter.h"

#include <gtest/gtest.h>

namespace {

File folder(const QString& path)
{
    return settled(makeFile(path, true));
}

} // namespace

using FileTableFilterTest = FileTableFixture;

TEST_F(FileTableFilterTest, DecidesEveryRowInRuleOrder)
{
    struct Case {
        const char* what;
        File file;
        bool toBeChanged;
        bool hiddenFiles;
        bool renameEmptyFolders;
        bool shown;
    };
    const File plain = settled(makeFile("/a/plain.txt"));
    const File plainRenamed = renamed(makeFile("/a/plain.txt"), "other");
    const File plainWithErrors = withError(renamed(makeFile("/a/plain.txt"), "bad"));
    const File renamedWithWarnings = withWarning(renamed(makeFile("/a/plain.txt"), "other"));
    const File hidden = settled(makeFile("/a/.hidden"));
    const File hiddenRenamed = renamed(makeFile("/a/.hidden"), ".renamed");
    const File hiddenWithErrors = withError(settled(makeFile("/a/.hidden")));
    const Case cases[] = {
        { "a plain file with every switch off", plain, false, false, false, true },
        { "an unchanged file while only renamed files show", plain, true, false, true, false },
        { "a renamed file while only renamed files show", plainRenamed, true, false, true, true },
        { "a renamed file with errors while only renamed files show", plainWithErrors, true, true, true, false },
        { "a renamed file with warnings while only renamed files show", renamedWithWarnings, true, false, true, true },
        { "an unchanged hidden file while hidden files are hidden", hidden, false, false, true, false },
        { "an unchanged hidden file while hidden files show", hidden, false, true, true, true },
        { "a renamed hidden file while hidden files are hidden", hiddenRenamed, false, false, true, true },
        { "a hidden file with errors while hidden files are hidden", hiddenWithErrors, false, false, true, true },
        { "a hidden file with errors while only renamed files show", hiddenWithErrors, true, true, true, false },
        { "a folder while folders show", folder("/a/Photos"), false, false, true, true },
        { "a folder while folders are hidden", folder("/a/Photos"), false, true, false, false },
        { "a hidden folder while folders are hidden and hidden files show", folder("/a/.git"), false, true, false, true },
        { "a hidden folder while folders and hidden files are hidden", folder("/a/.git"), false, false, false, false },
        { "a renamed folder while folders are hidden", renamed(folder("/a/Photos"), "x"), false, true, false, false },
    };
    for (const Case& c : cases) {
        const FileTableFilter filter { c.toBeChanged, c.hiddenFiles, c.renameEmptyFolders };
        EXPECT_EQ(filter.filterFile(c.file), c.shown) << c.what;
    }
}

TEST_F(FileTableFilterTest, HiddenFilePassesTheHiddenRuleWhenRenamedOrInError)
{
    const FileTableFilter filter { false, false, true };
    EXPECT_TRUE(filter.isHiddenFileToBeChangedOrHasErrors(settled(makeFile("/a/visible"))));
    EXPECT_FALSE(filter.isHiddenFileToBeChangedOrHasErrors(settled(makeFile("/a/.hidden"))));
    EXPECT_TRUE(filter.isHiddenFileToBeChangedOrHasErrors(renamed(makeFile("/a/.hidden"), ".x")));
    EXPECT_TRUE(filter.isHiddenFileToBeChangedOrHasErrors(withError(settled(makeFile("/a/.hidden")))));
}

TEST_F(FileTableFilterTest, TogglesAnswerTheirNewValueAndFoldersFollowThePreference)
{
    FileTableFilter filter { false, false, false };
    EXPECT_TRUE(filter.toggleToBeChanged());
    EXPECT_FALSE(filter.toggleToBeChanged());
    EXPECT_TRUE(filter.toggleHiddenFiles());
    EXPECT_FALSE(filter.toggleHiddenFiles());

    filter.updateToLatestPreferences();
    EXPECT_TRUE(filter.renameEmptyFolders); // registered default
    Preference::set(false, PreferenceKey::renameEmptyFolders);
    filter.updateToLatestPreferences();
    EXPECT_FALSE(filter.renameEmptyFolders);
}
