// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/File.h"
#include "files/FileAttributeLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/xattr.h>

// A small tree: a file, a hidden file, a folder with an extension, links to a
// file and to a folder, and a dangling link.
class FileOnDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = QDir(dir.path()).canonicalPath();
        write("a/report.final.txt", "hello");
        write("a/.profile", "x");
        QDir(root).mkpath("a/x.album");
        QFile::link(root + "/a/report.final.txt", root + "/a/report link");
        QFile::link(root + "/a/x.album", root + "/a/album link");
        QFile::link(root + "/a/missing.txt", root + "/a/dangling");
    }
    void write(const QString& relative, const QByteArray& content)
    {
        QFile file(root + "/" + relative);
        QDir().mkpath(QFileInfo(file).path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QUrl url(const QString& relative) const { return QUrl::fromLocalFile(root + "/" + relative); }

    QTemporaryDir dir;
    QString root;
};

TEST_F(FileOnDiskTest, ARegularFileSplitsIntoFolderNameAndExtension)
{
    const ExtendedFileInfo info = ExtendedFileInfo::read(url("a/report.final.txt"));
    EXPECT_EQ(info.fullPath, root + "/a/report.final.txt");
    EXPECT_EQ(info.path, root + "/a");
    EXPECT_EQ(info.name, "report.final");
    EXPECT_EQ(info.ext, "txt");
    EXPECT_FALSE(info.isDirectory);
    EXPECT_FALSE(info.isAlias);
    EXPECT_EQ(info.fileSize, 5);
    EXPECT_EQ(info.contentType, QString("text/plain"));
    EXPECT_TRUE(info.modificationDate.has_value());
    EXPECT_TRUE(info.volume.has_value());
    EXPECT_TRUE(info.inode.has_value());
    EXPECT_EQ(info.resolvedURL(), info.url());

    const FileSource source(QUuid::createUuid(), info);
    EXPECT_EQ(source.extSuffix(), ".txt");
    EXPECT_FALSE(source.isHidden());
    ASSERT_TRUE(source.volume().has_value());
    EXPECT_TRUE(source.volume()->endsWith('/'));
    EXPECT_EQ(source.inode().has_value(), info.device.has_value()) << "an inode is told only with its device";

    // The URL's text, as the volume token gives it, not the decoded path.
    ExtendedFileInfo onDisk = info;
    onDisk.volume = QUrl::fromLocalFile(QStringLiteral("/media/My Disk/"));
    EXPECT_EQ(FileSource(QUuid::createUuid(), onDisk).volume(), QStringLiteral("/media/My%20Disk/"));
    onDisk.volume = QUrl::fromLocalFile(QStringLiteral("/"));
    EXPECT_EQ(FileSource(QUuid::createUuid(), onDisk).volume(), QStringLiteral("/"));
}

// The volume is where the device of the item begins, found without the mount
// table (a chroot or a container may have no entry for it).
TEST_F(FileOnDiskTest, TheVolumeRootIsTheTopmostFolderOnTheItemsDevice)
{
    const QString file = root + "/a/report.final.txt";
    const std::optional<QString> volumeRoot = ExtendedFileInfo::volumeRootOf(file);
    ASSERT_TRUE(volumeRoot.has_value());
    EXPECT_TRUE(*volumeRoot == "/" || file.startsWith(*volumeRoot + "/")) << volumeRoot->toStdString();
    EXPECT_EQ(ExtendedFileInfo::deviceKeyOf(*volumeRoot), ExtendedFileInfo::deviceKeyOf(file));
    if (*volumeRoot != "/") {
        const QString above = QFileInfo(*volumeRoot).absolutePath();
        EXPECT_NE(ExtendedFileInfo::deviceKeyOf(above), ExtendedFileInfo::deviceKeyOf(file)) << above.toStdString();
    }
    EXPECT_EQ(ExtendedFileInfo::volumeRootOf(root + "/missing"), std::nullopt);
    EXPECT_EQ(ExtendedFileInfo::volumeRootOf("relative/path"), std::nullopt);

    // The record's volume holds the item, on the item's device.
    const ExtendedFileInfo info = ExtendedFileInfo::read(url("a/report.final.txt"));
    ASSERT_TRUE(info.volume.has_value());
    const QString recorded = FileUrl::path(*info.volume);
    EXPECT_TRUE(recorded == "/" || file.startsWith(recorded + "/")) << recorded.toStdString();
    EXPECT_EQ(ExtendedFileInfo::deviceKeyOf(recorded), ExtendedFileInfo::deviceKeyOf(file));
}

TEST_F(FileOnDiskTest, AHiddenFileHasNoExtension)
{
    const FileSource source(QUuid::createUuid(), url("a/.profile"), false);
    EXPECT_EQ(source.name(), ".profile");
    EXPECT_EQ(source.ext(), "");
    EXPECT_EQ(source.extSuffix(), "");
    EXPECT_TRUE(source.isHidden());
}

TEST_F(FileOnDiskTest, AFolderWithAnExtensionKeepsItAsExtensionButHasNoName)
{
    const ExtendedFileInfo withSlash = ExtendedFileInfo::read(QUrl::fromLocalFile(root + "/a/x.album/"));
    EXPECT_TRUE(withSlash.isDirectory);
    EXPECT_EQ(withSlash.path, root + "/a/x.album");
    EXPECT_EQ(withSlash.name, "");
    EXPECT_EQ(withSlash.ext, "album");
    EXPECT_EQ(withSlash.kind, "Folder");
    EXPECT_FALSE(withSlash.fileSize.has_value());

    const ExtendedFileInfo withoutSlash = ExtendedFileInfo::read(url("a/x.album"));
    EXPECT_TRUE(withoutSlash.isDirectory);
    EXPECT_EQ(withoutSlash.name, "");
    EXPECT_EQ(withoutSlash.contentType, QString("inode/directory"));
}

TEST_F(FileOnDiskTest, SymbolicLinksAreTheAliases)
{
    const ExtendedFileInfo fileLink = ExtendedFileInfo::read(url("a/report link"));
    EXPECT_TRUE(fileLink.isAlias);
    EXPECT_TRUE(fileLink.isSymbolicLink);
    EXPECT_FALSE(fileLink.isDirectory);
    EXPECT_EQ(fileLink.kind, "Alias");
    EXPECT_EQ(fileLink.resolvedURL(), url("a/report.final.txt"));

    const ExtendedFileInfo folderLink = ExtendedFileInfo::read(url("a/album link"));
    EXPECT_TRUE(folderLink.isAlias);
    EXPECT_TRUE(folderLink.isDirectory);
    EXPECT_TRUE(folderLink.isAliasDirectory);
    EXPECT_EQ(folderLink.kind, "Alias");

    const ExtendedFileInfo dangling = ExtendedFileInfo::read(url("a/dangling"));
    EXPECT_TRUE(dangling.isAlias);
    EXPECT_FALSE(dangling.isDirectory);
    EXPECT_EQ(dangling.resolvedURL(), dangling.url());
}

TEST_F(FileOnDiskTest, AMissingFileStillGivesInformationFromItsPath)
{
    const ExtendedFileInfo info = ExtendedFileInfo::read(url("a/gone.txt"));
    EXPECT_EQ(info.name, "gone");
    EXPECT_EQ(info.ext, "txt");
    EXPECT_EQ(info.kind, "File");
    EXPECT_FALSE(info.contentType.has_value());
    EXPECT_FALSE(info.inode.has_value());
    EXPECT_FALSE(info.volume.has_value());
}

// The kind is the type's comment with a capital first letter, whatever type
// the file read before had.
TEST_F(FileOnDiskTest, EachFileIsOfTheKindOfItsOwnType)
{
    write("k/one.txt", "x");
    write("k/two.txt", "y");
    write("k/picture.png", "");
    write("k/sound.mp3", "");
    const QMimeDatabase database;
    for (const char* name : { "one.txt", "two.txt", "picture.png", "one.txt", "sound.mp3", "picture.png" }) {
        SCOPED_TRACE(name);
        const ExtendedFileInfo info = ExtendedFileInfo::read(url(QStringLiteral("k/") + name));
        const QString comment = database.mimeTypeForFile(root + "/k/" + name).comment();
        ASSERT_FALSE(comment.isEmpty());
        EXPECT_EQ(info.kind, comment.left(1).toUpper() + comment.mid(1));
    }
}

TEST_F(FileOnDiskTest, TagsComeFromTheExtendedAttribute)
{
    const QByteArray path = QFile::encodeName(root + "/a/report.final.txt");
    const QByteArray tags = "Red, Work,";
    if (setxattr(path.constData(), "user.xdg.tags", tags.constData(), tags.size(), 0) != 0)
        GTEST_SKIP() << "the temporary file system keeps no user attributes";
    EXPECT_EQ(ExtendedFileInfo::read(url("a/report.final.txt")).tagNames, (QStringList { "Red", "Work" }));
    EXPECT_FALSE(ExtendedFileInfo::read(url("a/.profile")).tagNames.has_value());
}

TEST_F(FileOnDiskTest, ResolvingAnAliasBuildsTheNameFromTheTarget)
{
    const File plain(url("a/report.final.txt"), true);
    EXPECT_TRUE(plain.source.aliasFileInfo.isEmpty());
    EXPECT_FALSE(plain.index.has_value());
    EXPECT_FALSE(plain.fileGenerationId.has_value());
    EXPECT_FALSE(plain.attributesInitialized());
    EXPECT_TRUE(plain.fileAttributes().attributes.isEmpty());
    EXPECT_EQ(plain.source.id, plain.transformed.id());
    EXPECT_EQ(plain.source.id, plain.validation.id);

    const File resolved(url("a/report link"), true);
    EXPECT_EQ(resolved.sourceUrl(), url("a/report.final.txt"));
    ASSERT_EQ(resolved.source.aliasFileInfo.size(), 1);
    EXPECT_EQ(resolved.source.aliasFileInfo.first().url(), url("a/report link"));
    EXPECT_EQ(resolved.transformed.transformedName.value(), "report.final");

    // A resolved alias and its target are one file of the list.
    EXPECT_EQ(resolved, plain);
    EXPECT_EQ(qHash(resolved), qHash(plain));
    EXPECT_NE(resolved.source.id, plain.source.id);

    const File unresolved(url("a/report link"), false);
    EXPECT_NE(unresolved, plain);
    FileSource merged = plain.source;
    merged.addAliasFileInfo(resolved);
    EXPECT_EQ(merged.aliasFileInfo.size(), 1);
    merged.addAliasFileInfo(unresolved);
    EXPECT_EQ(merged.aliasFileInfo.size(), 1);
}

// The URL is made from the path when asked for: it must be the URL the item was
// read from (normalised), and records are the same item exactly when their URLs are.
TEST_F(FileOnDiskTest, TheURLIsTheOneTheItemWasReadFrom)
{
    struct Case {
        QString given;
        QString expectedUrlPath;
    };
    const QList<Case> cases {
        { root + "/a/report.final.txt", root + "/a/report.final.txt" },
        { root + "/a/x.album", root + "/a/x.album" },
        { root + "/a/x.album/", root + "/a/x.album/" },
        { root + "/a/./x.album/../report.final.txt", root + "/a/report.final.txt" },
        { root + "/a/odd %20 #name?.txt", root + "/a/odd %20 #name?.txt" },
        { root + "/a/album link", root + "/a/album link" },
    };
    for (const Case& c : cases) {
        const ExtendedFileInfo info = ExtendedFileInfo::read(QUrl::fromLocalFile(c.given));
        EXPECT_EQ(info.urlPath(), c.expectedUrlPath) << c.given.toStdString();
        EXPECT_EQ(info.url(), QUrl::fromLocalFile(c.expectedUrlPath)) << c.given.toStdString();
        EXPECT_EQ(info.url().toLocalFile(), c.expectedUrlPath) << c.given.toStdString();
    }
    // A link's resolved URL is its target's; anything else's is its own.
    EXPECT_EQ(ExtendedFileInfo::read(url("a/x.album/")).resolvedURL(), url("a/x.album/"));
    EXPECT_EQ(ExtendedFileInfo::read(url("a/report link")).resolvedURL(), url("a/report.final.txt"));

    // Equal and hashed alike exactly when the URLs are equal.
    const File file(url("a/report.final.txt"), false);
    const File same(QUrl::fromLocalFile(root + "/a/../a/report.final.txt"), false);
    const File folder(url("a/x.album"), false);
    const File folderAsFolderURL(url("a/x.album/"), false);
    EXPECT_EQ(file, same);
    EXPECT_EQ(qHash(file), qHash(same));
    EXPECT_EQ(folder == folderAsFolderURL, folder.sourceUrl() == folderAsFolderURL.sourceUrl());

    // A moved record has the URL of its new place, without the folder mark.
    ExtendedFileInfo moved = ExtendedFileInfo::read(url("a/x.album/"));
    moved.moveTo(root + "/a/y.album");
    EXPECT_EQ(moved.url(), url("a/y.album"));
}

TEST_F(FileOnDiskTest, ParentPathCountsFromTheInnermostFolder)
{
    const FileSource file(QUuid::createUuid(), ExtendedFileInfo { .fullPath = "/a/b/c.txt" });
    EXPECT_EQ(file.parentPathAt(1), "b");
    EXPECT_EQ(file.parentPathAt(2), "a");
    EXPECT_EQ(file.parentPathAt(3), "");
    EXPECT_EQ(file.parentPathAt(4), "");
    EXPECT_EQ(file.parentPathAt(0), "");
    const FileSource folder(QUuid::createUuid(), ExtendedFileInfo { .fullPath = "/a/b", .isDirectory = true });
    EXPECT_EQ(folder.parentPathAt(1), "b");
}

TEST_F(FileOnDiskTest, ARenameUpdatesTheSourceAndKeepsIdentityCountersAndAttributes)
{
    File file(url("a/report.final.txt"), false);
    file.attributes = FileAttributes {};
    file.transformed.setFileIndex(FileIndex { { { "n", 3 } }, {} });
    file.transformed.transformedName = "renamed";
    file.validation.insertError("taken");
    const QUuid id = file.source.id;

    ASSERT_TRUE(QFile::rename(root + "/a/report.final.txt", root + "/a/renamed.txt"));
    file.applyRename(root + "/a/renamed.txt");
    EXPECT_EQ(file.source.id, id);
    EXPECT_EQ(file.transformed.id(), id);
    EXPECT_EQ(file.source.name(), "renamed");
    EXPECT_EQ(file.transformed.transformedName.value(), "renamed");
    EXPECT_TRUE(file.transformed.fileIndex.has_value());
    EXPECT_TRUE(file.validation.hasNoErrors());
    EXPECT_TRUE(file.attributesInitialized());

    file.transformed.transformedName = "other";
    file.resetTransformations();
    EXPECT_EQ(file.transformed.transformedName.value(), "renamed");
    EXPECT_FALSE(file.transformed.fileIndex.has_value());
    EXPECT_EQ(file.transformed.id(), id);
}

// What a move leaves as it was is derived, not read again; it must be what a
// fresh read finds. Links and new extensions are read anew.
TEST_F(FileOnDiskTest, TheRecordAfterAMoveIsWhatTheDiskSays)
{
    QDir(root).mkpath("b");
    QFile::link("../a/report.final.txt", root + "/a/relative link");
    const struct {
        const char* from;
        const char* to;
    } moves[] = {
        { "a/report.final.txt", "b/summary.final.txt" }, // another folder, same extension
        { "b/summary.final.txt", "b/summary.md" },       // another extension: another type
        { "a/x.album", "a/y.album" },                    // a folder
        { "a/.profile", "b/.profile2" },                 // no extension
        { "b/.profile2", "b/plain." },                   // still none: a last "." starts none
        { "a/relative link", "b/relative link" },        // a link that now leads elsewhere
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.to);
        // Read twice: a type found from the content reads it, which may touch its access time.
        ExtendedFileInfo::read(url(move.from));
        const ExtendedFileInfo before = ExtendedFileInfo::read(url(move.from));
        ASSERT_EQ(::rename(QFile::encodeName(root + "/" + move.from).constData(),
                      QFile::encodeName(root + "/" + move.to).constData()), 0);
        ExtendedFileInfo moved = before.movedTo(root + "/" + move.to);
        ExtendedFileInfo expected = ExtendedFileInfo::read(url(move.to));
        // Following a link touches its access time: each read may see another.
        moved.contentAccessDate = expected.contentAccessDate = std::nullopt;
        EXPECT_EQ(moved, expected);
        // Derived within its folder, a file keeps the folder's string, which its neighbours share.
        const bool sameFolder = QFileInfo(move.from).path() == QFileInfo(move.to).path();
        if (sameFolder && moved.ext == before.ext && !before.isDirectory && !before.isSymbolicLink)
            EXPECT_EQ(moved.path.constData(), before.path.constData());
    }
}

TEST_F(FileOnDiskTest, AttributesLoadOnceThroughTheInstalledReader)
{
    File file(url("a/report.final.txt"), false);
    file.initializeAttributes();
    EXPECT_FALSE(file.attributesInitialized()) << "no reader installed: nothing is loaded";

    int loads = 0;
    FileAttributeLoader::install([&](const QUrl&) {
        ++loads;
        FileAttributeDictionary dictionary;
        dictionary.insert("kind", { "kind", "kind", AttributeValue::string("Text") });
        return dictionary;
    });
    file.initializeAttributes();
    file.initializeAttributes();
    FileAttributeLoader::install({});
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(file.fileAttributes()["KIND"]->attributeValue.stringValue(), QString("Text"));
}

// Whether a file counts as changed: only the source's own folder, name and
// extension against the new ones, and nothing while it has errors.
TEST(FileChangeTest, IsToBeChanged)
{
    const auto make = [](const QString& fullPath, bool directory) {
        ExtendedFileInfo info;
        info.fullPath = fullPath;
        info.isDirectory = directory;
        info.path = directory ? fullPath : fullPath.section('/', 0, -2);
        const QString last = fullPath.section('/', -1);
        info.name = directory ? QString() : last.section('.', 0, 0);
        info.ext = last.contains('.') ? last.section('.', -1) : QString();
        const QUuid id = QUuid::createUuid();
        return File(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
            FileValidation { id, {}, {} }, std::nullopt);
    };

    File rootFile = make("/a.txt", false);
    EXPECT_EQ(rootFile.source.path(), "");
    EXPECT_EQ(rootFile.transformed.transformedPath.value(), "/");
    EXPECT_FALSE(rootFile.isToBeChanged()) << "a file in the root folder is unchanged";

    File album = make("/p/Photos.album", true);
    album.transformed.transformedExt = "";
    EXPECT_EQ(album.transformed.transformedFullPath(), "/p/Photos.album");
    EXPECT_FALSE(album.isToBeChanged()) << "a folder whose full path stays is unchanged";
    album.transformed.transformedPath = "/p/Pictures.album";
    EXPECT_TRUE(album.isToBeChanged());

    File report = make("/p/report.txt", false);
    report.transformed.uniqueSuffix = " 2";
    EXPECT_FALSE(report.isToBeChanged());
    report.transformed.transformedExt = "md";
    EXPECT_TRUE(report.isToBeChanged());
    report.validation.insertError("Duplicate");
    EXPECT_FALSE(report.isToBeChanged());
    EXPECT_EQ(report.validation.errorsArray(), QStringList { "Duplicate" });

    // Canonically equal names are no change; a different name in either form is one.
    const QString composed = QStringLiteral("Caf\u00e9");
    const QString decomposed = QStringLiteral("Cafe\u0301");
    const struct {
        QString listedName;
        QString newName;
        QString newFolder;
        bool changed;
    } names[] = {
        { decomposed, composed, "/p", false },
        { composed, decomposed, "/p", false },
        { composed, composed, "/p/Caf\u00e9s", true },
        { decomposed, "Cafe", "/p", true },
        { decomposed, decomposed, "/p/Cafe\u0301s", true },
    };
    for (const auto& c : names) {
        SCOPED_TRACE(c.newName.toStdString() + " in " + c.newFolder.toStdString());
        File cafe = make("/p/" + c.listedName + ".txt", false);
        cafe.transformed.transformedName = c.newName;
        cafe.transformed.transformedPath = c.newFolder;
        EXPECT_EQ(cafe.isToBeChanged(), c.changed);
    }
    File folder = make("/p/Cafe\u0301", true);
    folder.transformed.transformedPath = "/p/" + composed;
    EXPECT_FALSE(folder.isToBeChanged()) << "a folder whose path differs only in its composition";

    const File dirty = report.withDirtyFlag(false);
    EXPECT_FALSE(dirty.transformed.isDirty);
    EXPECT_TRUE(report.transformed.isDirty);
    EXPECT_EQ(dirty.transformed.transformedExt.value(), "md");
}
