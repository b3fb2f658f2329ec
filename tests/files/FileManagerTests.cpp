// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilesFixture.h"
#include "files/Directory.h"
#include "files/FileManager.h"

#include <QFile>

#include <cerrno>

class FileManagerTest : public FilesFixture {
protected:
    std::optional<FileManagerError> removeDirectoryIfEmpty(const QString& folder)
    {
        return FileManager::removeDirectoryIfEmpty(folder, roots());
    }
    QStringList entries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST(FileManager, PathFromGivesTheFolderOfAFile)
{
    EXPECT_EQ(FileManager::pathFrom(QUrl::fromLocalFile("/a/b/c.txt"), false), "/a/b");
    EXPECT_EQ(FileManager::pathFrom(QUrl::fromLocalFile("/a/b c/d"), true), "/a/b c/d");
    EXPECT_EQ(FileManager::pathFrom(QUrl::fromLocalFile("/c.txt"), false), "/");
}

TEST_F(FileManagerTest, PathExistsTakesADanglingLink)
{
    EXPECT_TRUE(FileManager::pathExists(makeFile("home/me/f")));
    EXPECT_TRUE(FileManager::pathExists(home));
    EXPECT_TRUE(FileManager::pathExists(makeLink("home/me/dangling", path("nowhere"))));
    EXPECT_FALSE(FileManager::pathExists(path("nowhere")));
}

TEST_F(FileManagerTest, CountFileItemsLeavesOutOnlyTheIgnoredNames)
{
    for (const char* name : { ".DS_Store", "Thumbs.db", "thumbs.db", ".hidden", "plain" })
        makeFile(QStringLiteral("home/me/count/") + name);
    makeFolder("home/me/count/sub");
    EXPECT_EQ(Directory::countFileItems(path("home/me/count")), 4);
    try {
        Directory::countFileItems(path("home/me/missing"));
        FAIL() << "a missing folder cannot be counted";
    } catch (const FileManagerError& error) {
        EXPECT_EQ(error.code(), ENOENT);
        EXPECT_EQ(error.path(), path("home/me/missing"));
    }
}

TEST_F(FileManagerTest, AnEmptiedFolderGoesWithItsEmptiedParentsUpToTheHomeFolder)
{
    makeFile("home/me/a/b/.DS_Store");
    makeFile("home/me/a/b/Thumbs.db");
    LogCapture log;
    EXPECT_EQ(removeDirectoryIfEmpty(path("home/me/a/b/")), std::nullopt);
    EXPECT_FALSE(exists(path("home/me/a")));
    EXPECT_TRUE(exists(home)) << "the home folder is never removed, even when empty";
    EXPECT_EQ(log.lines().filter("rename: rm "),
        (QStringList { "rename: rm " + path("home/me/a/b"), "rename: rm " + path("home/me/a") }));
}

TEST_F(FileManagerTest, TheWalkStopsAtTheFirstFolderThatStillHoldsSomething)
{
    makeFile("home/me/x/keep.txt");
    makeFile("home/me/x/y/.DS_Store");
    makeFile("home/me/z/thumbs.db"); // not an ignored name: case counts
    EXPECT_EQ(removeDirectoryIfEmpty(path("home/me/x/y")), std::nullopt);
    EXPECT_FALSE(exists(path("home/me/x/y")));
    EXPECT_EQ(entries(path("home/me/x")), QStringList { "keep.txt" });
    EXPECT_EQ(removeDirectoryIfEmpty(path("home/me/z")), std::nullopt);
    EXPECT_EQ(entries(path("home/me/z")), QStringList { "thumbs.db" });
}

TEST_F(FileManagerTest, ProtectedFoldersAndFoldersOutsideTheRootsStay)
{
    Preference::set(QStringList { path("custom") }, PreferenceKey::customDirectories);
    const QStringList kept = {
        home,
        home + "/",
        volume,
        makeFolder("custom"),
        makeFolder("elsewhere/empty"),
        makeFolder("home/me/../../elsewhere/also"), // leaves the home folder by ".."
    };
    for (const QString& folder : kept) {
        SCOPED_TRACE(folder.toStdString());
        makeFile(QDir(folder).filePath(".DS_Store"));
        EXPECT_EQ(removeDirectoryIfEmpty(folder), std::nullopt);
        EXPECT_TRUE(exists(QDir(folder).filePath(".DS_Store")));
    }
    makeFile("custom/inner/Thumbs.db");
    EXPECT_EQ(removeDirectoryIfEmpty(path("custom/inner")), std::nullopt);
    EXPECT_FALSE(exists(path("custom/inner")));
    EXPECT_TRUE(exists(path("custom")));
}

TEST_F(FileManagerTest, TheWalkStopsAtAKeptFolderAndAFolderWhereSomethingAppeared)
{
    makeFile("home/me/kept/empty/.DS_Store");
    const QString kept = path("home/me/kept");
    FileManager::EmptiedFolderRemoval removal;
    removal.keep = [&](const QString& folder) { return folder == kept; };
    EXPECT_EQ(FileManager::removeDirectoryIfEmpty(path("home/me/kept/empty"), roots(), removal), std::nullopt);
    EXPECT_FALSE(exists(path("home/me/kept/empty")));
    EXPECT_TRUE(exists(kept)) << "a kept folder stays, even emptied";

    // A file arrives between the reading and the removal: only the ignored
    // names read are deleted, and the folder stays with the new file.
    makeFile("home/me/racy/Thumbs.db");
    removal.keep = {};
    removal.onlyIgnoredNames = [](const QString& folder) {
        const auto names = Directory::onlyIgnoredNames(folder);
        QFile(folder + "/new.txt").open(QIODevice::WriteOnly);
        return names;
    };
    EXPECT_EQ(FileManager::removeDirectoryIfEmpty(path("home/me/racy"), roots(), removal), std::nullopt);
    EXPECT_EQ(entries(path("home/me/racy")), QStringList { "new.txt" });
}

TEST_F(FileManagerTest, AFailureIsAnsweredAndNothingIsDeletedRecursively)
{
    // An ignored name that is a folder with content is never deleted with it.
    makeFile("home/me/p/q/.DS_Store/inner.txt");
    const auto error = removeDirectoryIfEmpty(path("home/me/p/q"));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code(), EISDIR);
    EXPECT_TRUE(exists(path("home/me/p/q/.DS_Store/inner.txt")));

    const auto missing = removeDirectoryIfEmpty(path("home/me/gone"));
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->code(), ENOENT);
}

TEST_F(FileManagerTest, UpdateSymbolicLinkRepointsTheLinkInPlace)
{
    const QString first = makeFile("home/me/first");
    const QString second = makeFile("home/me/second");
    const QString link = makeLink("home/me/links/link", first);
    FileManager::updateSymbolicLink(QUrl::fromLocalFile(link), QUrl::fromLocalFile(second));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), second);
    EXPECT_EQ(entries(path("home/me/links")), QStringList { "link" }) << "no temporary link is left behind";
}

TEST_F(FileManagerTest, UpdateSymbolicLinkRefusesWhatIsNotALink)
{
    const QString target = makeFile("home/me/target");
    const struct {
        QString at;
        int code;
    } cases[] = {
        { path("home/me/nothing"), ENOENT },
        { makeFile("home/me/regular"), EINVAL },
        { makeFolder("home/me/folder"), EINVAL },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at.toStdString());
        try {
            FileManager::updateSymbolicLink(QUrl::fromLocalFile(c.at), QUrl::fromLocalFile(target));
            ADD_FAILURE() << "expected a FileManagerError";
        } catch (const FileManagerError& error) {
            EXPECT_EQ(error.code(), c.code);
        }
        EXPECT_FALSE(QFileInfo(c.at).isSymLink());
    }
    EXPECT_EQ(entries(home), (QStringList { "folder", "regular", "target" }));
}
