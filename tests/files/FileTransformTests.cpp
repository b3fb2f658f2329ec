// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/Preference.h"
#include "files/FileTransform.h"
#include "platform/DefaultsStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class FileTransformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<DefaultsStore>(dir.filePath("defaults.json"));
        Preference::setStore(store.get());
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        Preference::setStore(nullptr);
    }
    void setPreferences(bool renameHidden, bool renameEmptyFolders)
    {
        store->setValue(PreferenceKey::renameHiddenFiles.rawValue, renameHidden);
        store->setValue(PreferenceKey::renameEmptyFolders.rawValue, renameEmptyFolders);
    }
    static FileTransform file(const QString& path, const QString& name, const QString& ext)
    {
        return FileTransform(QUuid::createUuid(), false, name.startsWith('.'), path, name, ext);
    }
    static FileTransform directory(const QString& path)
    {
        return FileTransform(QUuid::createUuid(), true, path.section('/', -1).startsWith('.'), path, "", "");
    }
    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> store;
};

TEST_F(FileTransformTest, EveryAssignmentIsNormalisedByItsFieldRule)
{
    enum Field { path, name, ext };
    struct Case {
        Field field;
        QString assigned;
        QString stored;
    };
    const Case cases[] = {
        { path, "", "/" }, { path, "/", "/" }, { path, "x", "/x" }, { path, "///", "/" },
        { path, "/a/b/", "/a/b" }, { path, "a//b/", "/a/b" }, { path, "/a/b", "/a/b" },
        { path, QString::fromUtf8("/\u0301x"), QString::fromUtf8("//\u0301x") },
        { name, "/x", "x" }, { name, "a//b", "a/b" }, { name, "x/", "x/" }, { name, "//x", "x" },
        { ext, ".jpg", "jpg" }, { ext, "tar..gz", "tar.gz" }, { ext, "jpg.", "jpg" }, { ext, ".", "" },
        { ext, "..", "" },
    };
    for (const Case& c : cases) {
        FileTransform transform = file("/a", "b", "c");
        QString stored;
        switch (c.field) {
        case path: stored = (transform.transformedPath = c.assigned).value(); break;
        case name: stored = (transform.transformedName = c.assigned).value(); break;
        case ext: stored = (transform.transformedExt = c.assigned).value(); break;
        }
        EXPECT_EQ(stored, c.stored) << "field " << c.field << " assigned '" << c.assigned.toStdString() << "'";
    }
}

TEST_F(FileTransformTest, TheInitialiserKeepsTheExtensionAsGiven)
{
    const FileTransform transform = file("a//b", "/x", "..tar");
    EXPECT_EQ(transform.transformedPath.value(), "/a/b");
    EXPECT_EQ(transform.transformedName.value(), "x");
    EXPECT_EQ(transform.transformedExt.value(), "..tar");
}

TEST_F(FileTransformTest, FullPathJoinsTheSuffixBeforeTheExtension)
{
    FileTransform rootFile = file("", "a", "txt");
    EXPECT_EQ(rootFile.transformedFullPath(), "/a.txt");
    rootFile.uniqueSuffix = " 2";
    EXPECT_EQ(rootFile.transformedFullPath(), "/a 2.txt");
    rootFile.transformedExt = "";
    EXPECT_EQ(rootFile.transformedExtSuffix(), "");
    EXPECT_EQ(rootFile.transformedFullPath(), "/a 2");

    FileTransform folder = directory("/a/Photos.album");
    folder.uniqueSuffix = " 2";
    EXPECT_EQ(folder.transformedFullPath(), "/a/Photos.album 2");
}

TEST_F(FileTransformTest, TargetNameIsWhatTheFullPathEndsIn)
{
    const struct { FileTransform transform; QString suffix; const char* expected; } cases[] = {
        { file("/a", "report", "pdf"), "", "report.pdf" },
        { file("/a", "report", "pdf"), " 2", "report 2.pdf" },
        { file("/a", "report", ""), " 3", "report 3" },
        { file("/a", ".env", ""), "", ".env" },
        { FileTransform(QUuid::createUuid(), false, false, "/a", "b", "..tar"), "", "b..tar" },
        { directory("/a/Photos.album"), " 2", "Photos.album 2" },
        { directory("/"), "", "/" },
    };
    for (auto c : cases) {
        c.transform.uniqueSuffix = c.suffix;
        EXPECT_EQ(c.transform.targetFileName(), c.expected) << c.expected;
        if (!c.transform.isDirectory())
            EXPECT_EQ(c.transform.transformedFullPath(), QStringLiteral("/a/") + c.expected);
    }
}

TEST_F(FileTransformTest, HiddenIsReadFromTheLastComponent)
{
    const struct { const char* fullPath; bool directory; bool hidden; } cases[] = {
        { "/a/.env", false, true },
        { "/.a/b.env", false, false },
        { "/a/.cache/", true, true },
        { "/a/cache//", true, false },
        { "/", true, false },
    };
    for (const auto& c : cases) {
        ExtendedFileInfo info;
        info.fullPath = c.fullPath;
        info.isDirectory = c.directory;
        EXPECT_EQ(FileTransform::initial(QUuid::createUuid(), info, std::nullopt).isHidden(), c.hidden) << c.fullPath;
    }
}

TEST_F(FileTransformTest, HiddenFilesFollowTheRenameHiddenFilesPreference)
{
    setPreferences(false, true);
    FileTransform env = file("/a", ".env", "");
    env.setTransformedText("config", TransformScope::filename);
    env.setTransformedText("txt", TransformScope::ext);
    EXPECT_EQ(env.transformedName.value(), ".env");
    EXPECT_EQ(env.transformedExt.value(), "");

    setPreferences(true, true);
    EXPECT_EQ(env.getTransformedText(TransformScope::filename), "env");
    env.setTransformedText("config", TransformScope::filename);
    EXPECT_EQ(env.transformedName.value(), ".config");
}

TEST_F(FileTransformTest, HiddenFullPathWritesKeepTheDot)
{
    setPreferences(false, false);
    FileTransform env = file("/a", ".env", "");
    env.setTransformedText("/b/.env", TransformScope::fullPath);
    EXPECT_EQ(env.transformedFullPath(), "/b/.env");

    // The initial last component of a file is its name without extension.
    FileTransform config = file("/a", ".config", "json");
    config.setTransformedText("/b/.config.json", TransformScope::fullPath);
    EXPECT_EQ(config.transformedFullPath(), "/a/.config.json");

    setPreferences(true, false);
    FileTransform emptied = file("/a", ".env", "");
    emptied.setTransformedText("/b/", TransformScope::fullPath);
    EXPECT_EQ(emptied.transformedPath.value(), "/b");
    EXPECT_EQ(emptied.transformedName.value(), ".");
}

TEST_F(FileTransformTest, FolderPathWritesFollowTheRenameEmptyFoldersPreference)
{
    setPreferences(false, false);
    FileTransform git = directory("/a/.git");
    EXPECT_EQ(git.getTransformedText(TransformScope::path), "/a/git");
    git.setTransformedText("/a/git", TransformScope::path);
    EXPECT_EQ(git.transformedPath.value(), "/a/.git");
    git.setTransformedText("/b/git", TransformScope::path);
    EXPECT_EQ(git.transformedPath.value(), "/b/.git");

    FileTransform photos = directory("/a/photos");
    photos.setTransformedText("/a/pictures", TransformScope::path);
    EXPECT_EQ(photos.transformedPath.value(), "/a/photos");
    photos.setTransformedText("/b/photos", TransformScope::path);
    EXPECT_EQ(photos.transformedPath.value(), "/b/photos");

    setPreferences(false, true);
    photos.setTransformedText("/b/pictures", TransformScope::path);
    EXPECT_EQ(photos.transformedPath.value(), "/b/pictures");
}

TEST_F(FileTransformTest, FilesInHiddenFoldersAndFilePathsAreNotGuarded)
{
    setPreferences(false, false);
    FileTransform inCache = file("/a/.cache", "x", "txt");
    EXPECT_EQ(inCache.getTransformedText(TransformScope::path), "/a/.cache");
    inCache.setTransformedText("/b/other", TransformScope::path);
    EXPECT_EQ(inCache.transformedPath.value(), "/b/other");
}

TEST_F(FileTransformTest, FoldersNeverGetANameOrAnExtension)
{
    setPreferences(true, true);
    FileTransform album = directory("/a/Photos.album");
    album = FileTransform(album.id(), true, false, "/a/Photos.album", "", "album");
    EXPECT_EQ(album.transformedExt.value(), "album");
    album.setTransformedText("jpg", TransformScope::ext);
    EXPECT_EQ(album.transformedExt.value(), "");
    album.setTransformedText("x", TransformScope::filename);
    EXPECT_EQ(album.transformedName.value(), "");
    album.setTransformedText("/b/Pictures.album", TransformScope::fullPath);
    EXPECT_EQ(album.transformedPath.value(), "/b/Pictures.album");
    EXPECT_EQ(album.transformedName.value(), "");
}

// The comparison made in parts says what comparing with the made path says,
// whatever shape the parts have.
TEST_F(FileTransformTest, FullPathComparedInPartsAgreesWithTheMadePath)
{
    using Path = NormalizedText<FileTransformRules::path>;
    const auto withSuffix = [](FileTransform t, const QString& suffix) {
        t.uniqueSuffix = suffix;
        return t;
    };
    const auto keptAsRead = [](FileTransform t, const QString& folder) {
        t.transformedPath = Path::unnormalized(folder);
        return t;
    };
    const FileTransform transforms[] = {
        file("/a", "b", "txt"),
        file("/", "b", "txt"),
        file("/a/c", "b", ""),
        file("/a", "b", ".txt"),
        file("/a", ".env", ""),
        file("/a", "", "txt"),
        file("/a", "b/c", "txt"),
        withSuffix(file("/a", "b", "txt"), " 2"),
        withSuffix(file("/", "b", ""), " 12"),
        keptAsRead(file("/a", "b", "txt"), "/a/"),
        keptAsRead(file("/a", "b", "txt"), "/a//c"),
        keptAsRead(file("/a", "b", "txt"), ""),
        directory("/a/Photos"),
        withSuffix(directory("/a/Photos"), " 2"),
        directory("/"),
    };
    for (const FileTransform& t : transforms) {
        const QString made = t.transformedFullPath();
        const QStringList candidates { made, made + "x", made.chopped(1), "x" + made, made.toUpper(), "/a/b.txt",
            "/a/b txt", "/b.txt", "/a/b 2.txt", "/a/c/b", "/a/Photos", "/a/Photos 2", "/", "", "//a/b.txt",
            "/a//b.txt", "/a/.env", "/a/b/c.txt" };
        for (const QString& path : candidates)
            EXPECT_EQ(t.isFullPath(path), made == path) << qPrintable(made) << " against " << qPrintable(path);
    }
}
