// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilesFixture.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "files/FilesAndDirectories.h"

#include <QSet>
#include <QUuid>

#include <functional>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using Reason = RejectionReason;
using namespace std::chrono_literals;

namespace {

// Moves on by `step` at every reading, so a walk sees time pass without sleeping.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(Duration step)
        : m_step(step)
    {
    }
    TimePoint now() const override { return m_now += m_step; }
    bool sleepUntil(TimePoint, std::stop_token) override { return true; }

private:
    Duration m_step;
    mutable TimePoint m_now {};
};

// Requests `stop` at its n-th reading: the walk reads the clock before every folder.
class CancellingClock final : public Clock {
public:
    CancellingClock(std::stop_source& stop, int readings)
        : m_stop(stop)
        , m_left(readings)
    {
    }
    TimePoint now() const override
    {
        if (--m_left == 0)
            m_stop.request_stop();
        return {};
    }
    bool sleepUntil(TimePoint, std::stop_token) override { return true; }

private:
    std::stop_source& m_stop;
    mutable int m_left;
};

// The names of the fields in which two records differ, so that a failure says which.
QStringList differences(const ExtendedFileInfo& a, const ExtendedFileInfo& b)
{
    QStringList fields;
    const auto check = [&](bool same, const char* name) {
        if (!same)
            fields << QString::fromLatin1(name);
    };
    check(a.url() == b.url(), "url");
    check(a.resolvedURL() == b.resolvedURL(), "resolvedURL");
    check(a.givenAsFolderURL == b.givenAsFolderURL, "givenAsFolderURL");
    check(a.fullPath == b.fullPath, "fullPath");
    check(a.path == b.path, "path");
    check(a.name == b.name, "name");
    check(a.ext == b.ext, "ext");
    check(a.isDirectory == b.isDirectory && a.isAlias == b.isAlias && a.isSymbolicLink == b.isSymbolicLink
            && a.isAliasDirectory == b.isAliasDirectory, "flags");
    check(a.kind == b.kind, "kind");
    check(a.contentType == b.contentType && a.localizedTypeDescription == b.localizedTypeDescription, "type");
    check(a.creationDate == b.creationDate && a.modificationDate == b.modificationDate
            && a.addedToDirectoryDate == b.addedToDirectoryDate && a.contentAccessDate == b.contentAccessDate, "dates");
    check(a.fileSize == b.fileSize, "fileSize");
    check(a.tagNames == b.tagNames, "tagNames");
    check(a.inode == b.inode && a.device == b.device, "identity");
    check(a.volume == b.volume, "volume");
    check(a == b, "any");
    return fields;
}

} // namespace

class FilesAndDirectoriesTest : public FilesFixture {
protected:
    FilesAndDirectories open(const QStringList& paths, bool aliases = false, bool emptyFolders = false,
        DirectoryRoots directoryRoots = {})
    {
        if (directoryRoots.homeDirectory.isEmpty())
            directoryRoots = roots();
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(path(p));
        return FilesAndDirectories(urls, aliases, emptyFolders, directoryRoots);
    }
    // The full paths of the files, relative to the temporary tree.
    QStringList relative(const QList<File>& files) const
    {
        QStringList list;
        for (const File& file : files)
            list << QDir(dir.path()).relativeFilePath(file.source.fileInfo.fullPath);
        return list;
    }
    QStringList walk(const QStringList& paths, bool aliases = false, bool emptyFolders = false)
    {
        return relative(open(paths, aliases, emptyFolders).allFiles());
    }
    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
};

TEST_F(FilesAndDirectoriesTest, AFileOpenedWithItsFolderIsListedOnceWhereItWasMetFirst)
{
    makeFile("home/me/docs/a.txt");
    makeFile("home/me/docs/b.txt");
    makeFile("home/me/docs/sub/c.txt");
    const QStringList files = walk({ "home/me/docs/a.txt", "home/me/docs" });
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files.first(), "home/me/docs/a.txt");
    EXPECT_EQ(sorted(files), (QStringList { "home/me/docs/a.txt", "home/me/docs/b.txt", "home/me/docs/sub/c.txt" }));
}

TEST_F(FilesAndDirectoriesTest, FoldersAreWalkedDepthFirstAndListedOnlyWhenHiddenOrEmpty)
{
    makeFile("home/me/p/readme");
    makeFile("home/me/p/.git/config");
    makeFile("home/me/p/.git/objects/x");
    makeFile("home/me/p/deep/er/est.txt");
    makeFile("home/me/p/.hidden-file");
    const QStringList files = walk({ "home/me/p" });
    EXPECT_EQ(sorted(files),
        (QStringList { "home/me/p/.git", "home/me/p/.hidden-file", "home/me/p/deep/er/est.txt", "home/me/p/readme" }));
    // The plain items of a level come before what its folders hold.
    EXPECT_LT(files.indexOf("home/me/p/readme"), files.indexOf("home/me/p/deep/er/est.txt"));
}

TEST_F(FilesAndDirectoriesTest, AFolderOfIgnoredNamesCountsAsEmpty)
{
    makeFile("home/me/e/only/.DS_Store");
    makeFile("home/me/e/only/Thumbs.db");
    makeFolder("home/me/e/bare");
    makeFile("home/me/e/kept/thumbs.db"); // not ignored: names are case-sensitive
    const struct {
        bool emptyFolders;
        QStringList expected;
    } cases[] = {
        { true, { "home/me/e/bare", "home/me/e/kept/thumbs.db", "home/me/e/only" } },
        { false, { "home/me/e/kept/thumbs.db" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.emptyFolders);
        EXPECT_EQ(sorted(walk({ "home/me/e" }, false, c.emptyFolders)), c.expected);
    }
    // An ignored file opened by name is dropped without a word.
    FilesAndDirectories opened = open({ "home/me/e/only/.DS_Store" });
    EXPECT_TRUE(opened.allFiles().isEmpty());
    EXPECT_TRUE(opened.rejectedDirectories().isEmpty());
}

TEST_F(FilesAndDirectoriesTest, ALinkLoopEnds)
{
    // "C" is the folder itself and A/L points at "../C/A": each round of the walk
    // reaches A under a longer path (g/C/A, g/C/C/A, ...), which only the
    // folder's device and inode give away.
    makeFile("home/me/g/A/file");
    makeLink("home/me/g/C", ".");
    makeLink("home/me/g/A/L", "../C/A");
    EXPECT_EQ(walk({ "home/me/g" }, true, false), QStringList { "home/me/g/A/file" });

    makeFile("home/me/loop/a.txt");
    makeLink("home/me/loop/back", path("home/me/loop"));
    makeLink("home/me/loop/self", ".");
    makeFile("home/me/x/in-x");
    makeFile("home/me/y/in-y");
    makeLink("home/me/x/to-y", path("home/me/y"));
    makeLink("home/me/y/to-x", path("home/me/x"));
    for (const bool emptyFolders : { false, true }) {
        SCOPED_TRACE(emptyFolders);
        const QStringList files = walk({ "home/me/loop", "home/me/x" }, true, emptyFolders);
        EXPECT_EQ(sorted(files), (QStringList { "home/me/loop/a.txt", "home/me/x/in-x", "home/me/y/in-y" }));
    }
}

TEST_F(FilesAndDirectoriesTest, LinksAreItemsOfTheirOwnUnlessFollowed)
{
    makeFile("home/me/l/target.txt");
    makeFile("home/me/elsewhere/t.txt");
    makeLink("home/me/l/file-link", path("home/me/l/target.txt"));
    makeLink("home/me/l/folder-link", path("home/me/elsewhere"));
    makeLink("home/me/l/dangling", path("home/me/l/missing"));

    // Not followed: a link to a file is listed as itself, a link to a folder has nothing to walk.
    EXPECT_EQ(sorted(walk({ "home/me/l" }, false, false)),
        (QStringList { "home/me/l/dangling", "home/me/l/file-link", "home/me/l/target.txt" }));
    EXPECT_EQ(sorted(walk({ "home/me/l" }, false, true)),
        (QStringList { "home/me/l/dangling", "home/me/l/file-link", "home/me/l/folder-link", "home/me/l/target.txt" }));

    // Followed: the link stands for its target, which is listed once.
    const QList<File> followed = open({ "home/me/l" }, true).allFiles();
    EXPECT_EQ(sorted(relative(followed)),
        (QStringList { "home/me/elsewhere/t.txt", "home/me/l/dangling", "home/me/l/target.txt" }));
}

// A folder's entries are read relative to the open folder; each record must be
// what reading the item by its own URL gives, whatever its name or type.
TEST_F(FilesAndDirectoriesTest, EachWalkedRecordIsWhatReadingItsUrlGives)
{
    const QStringList names { "plain.txt", "with space.JPG", "100%.txt", "hash#1?.txt", "colon:name", "ünïcødé.txt",
        "trailing.", ".hidden", "..double", "no_ext", "a.b.c", "~tilde", "x.tar.gz", "CMakeLists.txt", "README.md",
        "tagged.png" };
    for (const QString& name : names)
        makeFile("home/me/odd/" + name);
    makeFolder("home/me/odd/sub.d");
    makeFile("home/me/odd/full/inner.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("home/me/odd/pipe")).constData(), 0644), 0);
    makeLink("home/me/odd/file-link", path("home/me/odd/plain.txt"));
    makeLink("home/me/odd/folder-link", path("home/me/odd/full"));
    makeLink("home/me/odd/dangling", path("home/me/odd/missing"));
    const QByteArray tags = "red, blue";
    const bool tagged = ::setxattr(QFile::encodeName(path("home/me/odd/tagged.png")).constData(), "user.xdg.tags",
                            tags.constData(), tags.size(), 0) == 0;

    // A type told by content reads the file once, which moves its access date.
    open({ "home/me/odd" }).allFiles();
    for (const bool aliases : { false, true }) {
        const QList<File> files = open({ "home/me/odd" }, aliases, true).allFiles();
        EXPECT_EQ(files.size(), names.size() + 3 + (aliases ? 1 : 3)) << relative(files).join(' ').toStdString();
        for (const File& file : files) {
            const FileSource& source = file.source;
            const QUrl entry = source.aliasFileInfo.isEmpty() ? source.fileInfo.url() : source.aliasFileInfo.first().url();
            const File read(entry, aliases);
            EXPECT_EQ(differences(source.fileInfo, read.source.fileInfo), QStringList())
                << source.fileInfo.fullPath.toStdString();
            ASSERT_EQ(source.aliasFileInfo.size(), read.source.aliasFileInfo.size());
            for (qsizetype i = 0; i < source.aliasFileInfo.size(); ++i)
                EXPECT_EQ(differences(source.aliasFileInfo[i], read.source.aliasFileInfo[i]), QStringList());
            EXPECT_EQ(file.transformed.transformedPath.value(), read.transformed.transformedPath.value());
            EXPECT_EQ(file.transformed.transformedName.value(), read.transformed.transformedName.value());
            EXPECT_EQ(file.transformed.transformedExt.value(), read.transformed.transformedExt.value());
            EXPECT_EQ(file.transformed.id(), source.id);
            EXPECT_EQ(file.validation.id, source.id);
            if (tagged && source.fileInfo.fullPath.endsWith("tagged.png"))
                EXPECT_EQ(source.fileInfo.tagNames, (QStringList { "red", "blue" }));
        }
    }
}

// A folder larger than several chunks is read on several threads: every entry
// still gets its own answer, the refusals are all there, and the files keep the
// order of the listing, folders after the files as in any folder.
TEST_F(FilesAndDirectoriesTest, ALargeFolderOfMixedEntriesGivesEachEntryItsOwnAnswerInOrder)
{
    const QString folder = makeFolder("home/me/big");
    const QByteArray native = QFile::encodeName(folder) + '/';
    const qsizetype count = 4 * FilesAndDirectories::ENTRIES_PER_CHUNK + 37;
    QSet<QString> readOnly;
    QSet<QString> expectedRefusals;
    // Names that are not UTF-8 are removed by hand: the temporary folder cannot spell them.
    std::shared_ptr<QByteArrayList> badNames(new QByteArrayList, [](QByteArrayList* names) {
        for (const QByteArray& name : *names)
            ::unlink(name.constData());
        delete names;
    });
    for (qsizetype i = 0; i < count; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i);
        if (i % 97 == 5) {
            const QByteArray bad = native + "bad\xff" + QByteArray::number(i);
            const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
            *badNames << bad;
            expectedRefusals << folder + "/bad\uFFFD" + QString::number(i);
        } else if (i % 89 == 7) {
            makeFolder("home/me/big/d" + QString::number(i));
        } else if (i % 83 == 3) {
            makeLink("home/me/big/l" + QString::number(i), path("home/me/big/f0.txt"));
        } else {
            makeFile("home/me/big/" + name);
            if (i % 7 == 1) {
                readOnly << folder + '/' + name;
                expectedRefusals << folder + '/' + name;
            }
        }
    }
    makeFile("home/me/big/.DS_Store");
    makeFile("home/me/big/Thumbs.db");

    // What the walk must give, from a listing of its own: the kept entries in
    // the folder's order, the (empty) folders after the files.
    QStringList expected;
    QStringList folders;
    {
        std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(native.constData()), &::closedir);
        ASSERT_TRUE(listing);
        while (const dirent* entry = ::readdir(listing.get())) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == ".." || name.startsWith("bad") || name == ".DS_Store" || name == "Thumbs.db")
                continue;
            const QString full = folder + '/' + QString::fromUtf8(name);
            if (name.startsWith('d'))
                folders << full;
            else if (!readOnly.contains(full))
                expected << full;
        }
    }
    expected += folders;

    DirectoryRoots directoryRoots = roots();
    directoryRoots.entryIsWritable = [readOnly](int, const QByteArray&, const QString& item) {
        return !readOnly.contains(item);
    };
    open({ "home/me/big" }, false, true, directoryRoots).allFiles(); // the access dates settle
    FilesAndDirectories opened = open({ "home/me/big" }, false, true, directoryRoots);
    const QList<File> files = opened.allFiles();
    QStringList listed;
    QSet<QUuid> ids;
    for (const File& file : files) {
        listed << file.source.fileInfo.fullPath;
        ids << file.source.id;
        EXPECT_EQ(differences(file.source.fileInfo, File(file.sourceUrl(), false).source.fileInfo), QStringList())
            << file.source.fileInfo.fullPath.toStdString();
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(ids.size(), files.size());
    QSet<QString> refused;
    for (const RejectedDirectory& rejected : opened.rejectedDirectories()) {
        refused << rejected.path;
        EXPECT_EQ(rejected.reason, rejected.path.contains("bad") ? Reason::error : Reason::readonlyPath)
            << rejected.path.toStdString();
    }
    EXPECT_EQ(refused, expectedRefusals);
}

// The folders of one level are read together: the walk still goes depth first
// through them in the listing's order, each file with its own answer.
TEST_F(FilesAndDirectoriesTest, ManyFoldersOfOneLevelAreWalkedDepthFirstInTheirOrder)
{
    QSet<QString> readOnly;
    for (int n = 0; n < 25; ++n) {
        const QString folder = QStringLiteral("home/me/tree/d%1/").arg(n);
        makeFolder(folder);
        for (int k = 0; k < n % 4; ++k) {
            const QString file = makeFile(folder + QStringLiteral("f%1.txt").arg(k));
            if ((n + k) % 5 == 0)
                readOnly << file;
        }
        if (n % 3 == 0)
            makeFile(folder + "s/inner.txt");
        if (n % 7 == 0)
            makeFile(folder + ".h/hidden.txt");
        if (n % 5 == 0)
            makeFolder(folder + "e");
    }
    makeFile("home/me/tree/top.txt");

    // The walk as one thread would go, from listings of its own.
    QStringList expected;
    const std::function<void(const QString&)> walkFrom = [&](const QString& folder) {
        QStringList files;
        QStringList folders;
        std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(QFile::encodeName(folder).constData()), &::closedir);
        ASSERT_TRUE(listing);
        while (const dirent* entry = ::readdir(listing.get())) {
            const QString name = QString::fromUtf8(entry->d_name);
            if (name == "." || name == "..")
                continue;
            (QFileInfo(folder + '/' + name).isDir() ? folders : files) << folder + '/' + name;
        }
        for (const QString& file : files) {
            if (!readOnly.contains(file))
                expected << file;
        }
        for (const QString& sub : folders) {
            const qsizetype before = expected.size();
            if (!QFileInfo(sub).fileName().startsWith('.'))
                walkFrom(sub);
            if (expected.size() == before)
                expected << sub;
        }
    };
    walkFrom(path("home/me/tree"));

    DirectoryRoots directoryRoots = roots();
    directoryRoots.entryIsWritable = [readOnly](int, const QByteArray&, const QString& item) {
        return !readOnly.contains(item);
    };
    FilesAndDirectories opened = open({ "home/me/tree" }, false, true, directoryRoots);
    QStringList listed;
    for (const File& file : opened.allFiles())
        listed << file.source.fileInfo.fullPath;
    EXPECT_EQ(listed, expected);
    QSet<QString> refused;
    for (const RejectedDirectory& rejected : opened.rejectedDirectories())
        refused << rejected.path;
    EXPECT_EQ(refused, readOnly);
}

// Reading folders together must not hold a descriptor for each of them: a
// level of more folders than the process may open is walked whole.
TEST_F(FilesAndDirectoriesTest, ALevelOfMoreFoldersThanTheProcessMayOpenIsWalkedWhole)
{
    constexpr int folderCount = 600;
    for (int n = 0; n < folderCount; ++n)
        makeFile(QStringLiteral("home/me/wide/d%1/f.txt").arg(n));
    rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const qsizetype openNow = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
    ASSERT_GT(openNow, 0);
    std::shared_ptr<const rlimit> restore(new rlimit(limit), [](const rlimit* old) {
        ::setrlimit(RLIMIT_NOFILE, old);
        delete old;
    });
    rlimit lowered = limit;
    lowered.rlim_cur = rlim_t(openNow) + 200;
    ASSERT_LT(lowered.rlim_cur, rlim_t(folderCount));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);

    FilesAndDirectories opened = open({ "home/me/wide" });
    const QList<File> files = opened.allFiles();
    restore.reset();
    EXPECT_EQ(files.size(), folderCount);
    EXPECT_TRUE(opened.rejectedDirectories().isEmpty()) << opened.rejectedDirectories().size();
}

TEST_F(FilesAndDirectoriesTest, TwoLinksToOneFileGiveOneRecordWithBothLinks)
{
    const QString target = makeFile("home/me/t/file.txt");
    const QString first = makeLink("home/me/t/first", target);
    const QString second = makeLink("home/me/t/second", target);
    const QList<File> files = open({ "home/me/t/first", "home/me/t/second" }, true).allFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].source.fileInfo.fullPath, target);
    ASSERT_EQ(files[0].source.aliasFileInfo.size(), 2);
    EXPECT_EQ(files[0].source.aliasFileInfo[0].fullPath, first);
    EXPECT_EQ(files[0].source.aliasFileInfo[1].fullPath, second);
}

TEST_F(FilesAndDirectoriesTest, RestrictedPlacesAreRefused)
{
    makeFile("elsewhere/f.txt");
    makeFile("home/me/r/ok.txt");
    makeLink("home/me/r/out", path("elsewhere"));
    FilesAndDirectories outside = open({ "elsewhere", "elsewhere/f.txt" });
    EXPECT_TRUE(outside.allFiles().isEmpty());
    EXPECT_EQ(outside.rejectedDirectories(), (QList<RejectedDirectory> { { path("elsewhere/"), Reason::restrictedPath } }));

    // A followed link cannot carry the walk out of the allowed places.
    FilesAndDirectories linked = open({ "home/me/r" }, true);
    EXPECT_EQ(relative(linked.allFiles()), QStringList { "home/me/r/ok.txt" });
    EXPECT_EQ(linked.rejectedDirectories(), (QList<RejectedDirectory> { { path("elsewhere/"), Reason::restrictedPath } }));
}

// Each item is asked about itself, never about the folder that holds it: a
// normal user's home folder lies in root's /home.
TEST_F(FilesAndDirectoriesTest, ReadOnlyItemsAndVolumesAreRefused)
{
    makeFile("home/me/w/locked/inside.txt");
    makeFile("home/me/w/locked/second.txt");
    makeFile("home/me/w/open.txt");
    makeFile("home/me/w/also open.txt");
    const QString readOnly = makeFile("home/me/w/read-only.txt");
    const QString onBackup = makeFile("media/Backup/v.txt");
    DirectoryRoots directoryRoots = roots();
    const QString locked = path("home/me/w/locked");
    const QString backup = volume;
    auto asked = std::make_shared<QStringList>();
    directoryRoots.writability = [=](const QString& item) -> std::optional<DirectoryRoots::Writability> {
        *asked << item;
        if (item.startsWith(backup))
            return DirectoryRoots::Writability { true, true };
        if (item == locked || item == home) // the opened folder's parent is not writable
            return DirectoryRoots::Writability { false, false };
        return DirectoryRoots::writabilityOnDisk(item);
    };
    directoryRoots.entryIsWritable = [=](int folderFd, const QByteArray& name, const QString& item) {
        EXPECT_GE(folderFd, 0);
        EXPECT_TRUE(item.endsWith(QFile::decodeName(name)));
        return item != readOnly;
    };
    FilesAndDirectories opened = open({ "home/me/w", "media/Backup/v.txt" }, false, false, directoryRoots);
    EXPECT_EQ(sorted(relative(opened.allFiles())), (QStringList { "home/me/w/also open.txt", "home/me/w/open.txt" }));
    EXPECT_EQ(opened.rejectedDirectories(),
        (QList<RejectedDirectory> {
            { locked, Reason::readonlyPath }, { readOnly, Reason::readonlyPath }, { onBackup, Reason::readonlyVolume } }));
    // The plain files of a folder share its volume: none of them is asked about by path.
    EXPECT_FALSE(asked->contains(path("home/me/w/open.txt")));
    EXPECT_FALSE(asked->contains(home));
}

// Opened through a link inside the home folder: the files are listed by the path
// they were given in, and a link into the system's folders leads nowhere.
TEST_F(FilesAndDirectoriesTest, AFolderReachedThroughALinkInTheHomeFolderIsOpened)
{
    makeFile("elsewhere/photos/a.jpg");
    makeFile("elsewhere/photos/trip/b.jpg");
    makeLink("home/me/Photos", path("elsewhere/photos"));
    makeLink("home/me/config", "/etc");
    FilesAndDirectories linked = open({ "home/me/Photos/a.jpg", "home/me/Photos/trip" });
    EXPECT_EQ(relative(linked.allFiles()), (QStringList { "home/me/Photos/a.jpg", "home/me/Photos/trip/b.jpg" }));
    EXPECT_TRUE(linked.rejectedDirectories().isEmpty());

    FilesAndDirectories system = open({ "home/me/config/hostname", "home/me/config/apt" });
    EXPECT_TRUE(system.allFiles().isEmpty());
    ASSERT_FALSE(system.rejectedDirectories().isEmpty());
    for (const RejectedDirectory& rejected : system.rejectedDirectories()) {
        EXPECT_EQ(rejected.reason, Reason::restrictedPath);
        EXPECT_TRUE(rejected.path.startsWith(path("home/me/config/"))) << rejected.path.toStdString();
    }
}

// A link the user opens by name is the folder it leads to, listed under the
// link's own path; links met inside it still follow the preference.
TEST_F(FilesAndDirectoriesTest, ALinkOpenedByNameIsTheFolderItLeadsToAsUser)
{
    makeFile("data/music/a.mp3");
    makeFile("data/music/album/b.mp3");
    makeFile("home/me/other/c.mp3");
    makeLink("data/music/other-link", path("home/me/other"));
    makeLink("home/me/linked-music", path("data/music"));
    makeLink("home/me/system", "/etc");
    makeLink("home/me/a-file-link", path("data/music/a.mp3"));

    struct Case {
        bool aliases;
        bool emptyFolders;
        QStringList listed;
    };
    const QList<Case> cases {
        { false, false, { "home/me/linked-music/a.mp3", "home/me/linked-music/album/b.mp3" } },
        { false, true,
            { "home/me/linked-music/a.mp3", "home/me/linked-music/album/b.mp3", "home/me/linked-music/other-link" } },
        { true, false, { "home/me/linked-music/a.mp3", "home/me/linked-music/album/b.mp3", "home/me/other/c.mp3" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "aliases " << c.aliases << ", empty folders " << c.emptyFolders);
        FilesAndDirectories opened = open({ "home/me/linked-music" }, c.aliases, c.emptyFolders);
        const QList<File> files = opened.allFiles();
        EXPECT_EQ(sorted(relative(files)), c.listed);
        EXPECT_TRUE(opened.rejectedDirectories().isEmpty());
    }
    // Given with a trailing "/", the same folder.
    EXPECT_EQ(sorted(relative(FilesAndDirectories({ QUrl::fromLocalFile(path("home/me/linked-music") + "/") }, false,
                                  false, roots())
                                  .allFiles())),
        (QStringList { "home/me/linked-music/a.mp3", "home/me/linked-music/album/b.mp3" }));
    // A link to a file is still an item of its own.
    EXPECT_EQ(walk({ "home/me/a-file-link" }), QStringList { "home/me/a-file-link" });

    // The folder a link leads to may be restricted: nothing of it is opened.
    FilesAndDirectories system = open({ "home/me/system" });
    EXPECT_TRUE(system.allFiles().isEmpty());
    ASSERT_FALSE(system.rejectedDirectories().isEmpty());
    EXPECT_EQ(system.rejectedDirectories().first().reason, Reason::restrictedPath);
}

// As a normal user: the home folder lies in a folder only root may write
// (/home), a stick's root in another (/media/$USER). Each opens; what the user
// may not write is refused by its own name.
TEST_F(FilesAndDirectoriesTest, TheHomeFolderAndAVolumeRootOpenInFoldersOnlyRootMayWriteAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere; run as a normal user";
    makeFile("home/me/notes.txt");
    const QString readOnlyFile = makeFile("home/me/read-only.txt");
    const QString readOnlyFolder = makeFile("home/me/kept/inside.txt").section('/', 0, -2);
    makeFile("media/Backup/photo.jpg");
    const auto mode = [](const QString& item, mode_t bits) { return ::chmod(QFile::encodeName(item).constData(), bits); };
    ASSERT_EQ(mode(readOnlyFile, 0444), 0);
    ASSERT_EQ(mode(readOnlyFolder, 0555), 0);
    ASSERT_EQ(mode(path("home"), 0555), 0);
    ASSERT_EQ(mode(path("media"), 0555), 0);
    FilesAndDirectories opened = open({ "home/me", "media/Backup" });
    const QList<File> files = opened.allFiles();
    for (const QString& item : { path("home"), path("media"), readOnlyFolder })
        mode(item, 0755);
    EXPECT_EQ(sorted(relative(files)), (QStringList { "home/me/notes.txt", "media/Backup/photo.jpg" }));
    EXPECT_EQ(opened.rejectedDirectories(),
        (QList<RejectedDirectory> { { readOnlyFolder, Reason::readonlyPath }, { readOnlyFile, Reason::readonlyPath } }));
}

TEST_F(FilesAndDirectoriesTest, AnUnreadableFolderIsNotAccessibleAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root can list a folder without read permission";
    const QString locked = makeFolder("home/me/u/locked");
    makeFile("home/me/u/locked/x");
    // Writable but not listable: the writability check lets it through.
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0300), 0);
    FilesAndDirectories opened = open({ "home/me/u" }, false, true);
    const QList<File> files = opened.allFiles();
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    EXPECT_EQ(relative(files), QStringList { "home/me/u/locked" }); // counts as empty
    EXPECT_EQ(opened.rejectedDirectories(), (QList<RejectedDirectory> { { locked, Reason::error } }));
}

TEST_F(FilesAndDirectoriesTest, ANameThatIsNotUtf8IsReportedNotOpened)
{
    makeFile("home/me/n/good.txt");
    const QByteArray bad = QFile::encodeName(path("home/me/n/")) + "bad\xff.txt";
    const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    FilesAndDirectories opened = open({ "home/me/n" });
    EXPECT_EQ(relative(opened.allFiles()), QStringList { "home/me/n/good.txt" });
    EXPECT_EQ(opened.rejectedDirectories(),
        (QList<RejectedDirectory> { { path("home/me/n/bad\uFFFD.txt"), Reason::error } }));
}

// An opened item that is not there (gone meanwhile, or a name that no text
// can spell, such as raw bytes that are not UTF-8) is refused with its
// reason, never listed as a row for nothing.
TEST_F(FilesAndDirectoriesTest, AnOpenedPathThatIsNotThereIsRefused)
{
    makeFile("home/me/m/here.txt");
    const QByteArray raw = QFile::encodeName(path("home/me/m/")) + "raw\xff.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QList<QUrl> urls { QUrl::fromLocalFile(path("home/me/m/here.txt")), QUrl::fromLocalFile(path("home/me/m/gone.txt")),
        QUrl::fromLocalFile(path("home/me/m/gone/")), QUrl::fromEncoded(QUrl::fromLocalFile(path("home/me/m/")).toEncoded() + "raw%FF.txt") };
    ASSERT_EQ(urls[3].toLocalFile(), path("home/me/m/raw\uFFFD.txt"));
    for (const bool asOnDisk : { true, false }) {
        SCOPED_TRACE(asOnDisk ? "writability read from the disk" : "writability answered without looking");
        DirectoryRoots directoryRoots = roots();
        if (!asOnDisk)
            directoryRoots.writability = [](const QString&) { return DirectoryRoots::Writability { false, true }; };
        const FilesAndDirectories opened(urls, false, false, directoryRoots);
        EXPECT_EQ(relative(opened.allFiles()), QStringList { "home/me/m/here.txt" });
        EXPECT_EQ(sorted([&] {
            QStringList refused;
            for (const RejectedDirectory& rejected : opened.rejectedDirectories())
                refused << (rejected.path.endsWith('/') ? rejected.path.chopped(1) : rejected.path) + QStringLiteral(" | ")
                        + RejectionReasons::rawValue(rejected.reason);
            return refused;
        }()),
            sorted({ path("home/me/m/gone.txt") + " | Not accessible", path("home/me/m/gone") + " | Not accessible",
                path("home/me/m/raw\uFFFD.txt") + " | Not accessible" }));
    }
}

TEST_F(FilesAndDirectoriesTest, CancellingEndsTheWalkWithNothing)
{
    for (int i = 0; i < 5; ++i)
        makeFile(QStringLiteral("home/me/c/%1/file").arg(i));
    FilesAndDirectories opened = open({ "home/me/c" });
    ASSERT_EQ(opened.allFiles().size(), 5);

    std::stop_source before;
    before.request_stop();
    EXPECT_TRUE(opened.allFiles(before.get_token()).isEmpty());

    // Stopped at the third folder, after files were found: the partial list is dropped.
    std::stop_source during;
    CancellingClock clock(during, 5);
    EXPECT_TRUE(opened.allFiles(during.get_token(), clock).isEmpty());
    EXPECT_TRUE(during.stop_requested());
}

TEST_F(FilesAndDirectoriesTest, TheTitleCountsTheItemsSeenAtMostOncePerSecond)
{
    makeFile("home/me/t/a1");
    makeFile("home/me/t/a2");
    makeFile("home/me/t/b/b1");
    FilesAndDirectories opened = open({ "home/me/t" });
    {
        NotificationRecorder recorder({ NotificationName::setWindowTitle });
        ManualClock still;
        EXPECT_EQ(opened.allFiles({}, still).size(), 3);
        TestEnvironment::drainEvents();
        EXPECT_EQ(recorder.count(NotificationName::setWindowTitle), 0);
    }
    NotificationRecorder recorder({ NotificationName::setWindowTitle });
    SteppingClock fast(1000ms); // a second passes before every folder
    EXPECT_EQ(opened.allFiles({}, fast).size(), 3);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 2; }));
    QStringList titles;
    for (const Notification& n : recorder.received)
        titles << AppNotification::SetWindowTitle::get(n).value_or("");
    EXPECT_EQ(titles, (QStringList { "Opening 1 files...", "Opening 4 files..." }));
}

TEST_F(FilesAndDirectoriesTest, AnEmptyRequestGivesNothing)
{
    LogCapture log;
    FilesAndDirectories opened({}, false, true, roots());
    EXPECT_TRUE(opened.allFiles().isEmpty());
    EXPECT_TRUE(log.contains(
        "==================[ FilesAndDirectories opening 0 files and directories ]=================="));
}

TEST_F(FilesAndDirectoriesTest, ThePreferencesChooseLinksAndEmptyFolders)
{
    Preference::set(true, PreferenceKey::renameAliases);
    Preference::set(false, PreferenceKey::renameEmptyFolders);
    FilesAndDirectories opened(QList<QUrl> { QUrl::fromLocalFile(home) }, roots());
    EXPECT_TRUE(opened.renameAliases);
    EXPECT_FALSE(opened.renameEmptyFolders);
    EXPECT_EQ(opened.openedUrls, QList<QUrl> { QUrl::fromLocalFile(home) });
    ASSERT_EQ(opened.fileItems.size(), 1);
}
