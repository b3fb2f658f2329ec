// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilesFixture.h"
#include "files/DirectoryValidator.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using Reason = RejectionReason;

TEST(RejectionReason, RawValuesAreTheFourTextsExactly)
{
    const std::pair<Reason, QString> cases[] = {
        { Reason::restrictedPath, "Path is restricted" },
        { Reason::readonlyPath, "Path is read only" },
        { Reason::readonlyVolume, "Volume is read only" },
        { Reason::error, "Not accessible" },
    };
    for (const auto& [reason, text] : cases) {
        EXPECT_EQ(RejectionReasons::rawValue(reason), text);
        EXPECT_EQ(RejectionReasons::fromRawValue(text), reason);
    }
    EXPECT_EQ(RejectionReasons::fromRawValue("path is restricted"), std::nullopt);
    EXPECT_EQ(RejectionReasons::fromRawValue(""), std::nullopt);
}

class DirectoryValidatorTest : public FilesFixture {
protected:
    DirectoryValidator validator() const { return DirectoryValidator(roots()); }
};

TEST_F(DirectoryValidatorTest, SupportedDirectoriesAreTheHomeFolderThenTheVolumes)
{
    DirectoryValidator v = validator();
    EXPECT_EQ(v.homeDirectory(), home + "/");
    EXPECT_EQ(v.supportedDirectories(), (QStringList { home + "/", volume + "/" }));
}

TEST_F(DirectoryValidatorTest, OnlyPathsInsideAnAllowedRootAreSupported)
{
    Preference::set(QStringList { path("Data"), "", "relative", path("Slash/") }, PreferenceKey::customDirectories);
    const struct {
        QString path;
        bool supported;
    } cases[] = {
        { home, true },
        { home + "/", true },
        { home + "/docs/deep", true },
        { volume + "/photos", true },
        { path("Data"), true },
        { path("Data/x"), true },
        { path("Slash/x"), true },
        { path("Database"), false },      // a custom folder is a folder, not a text prefix
        { path("home"), false },          // the home folder's parent
        { path("home/meX"), false },
        { path("HOME/me/docs"), false },  // names are case-sensitive
        { home + "/../../../etc", false }, // climbing out of the home folder
        { home + "/docs/../../other", false },
        { path("elsewhere"), false },
        { "relative", false },
        { "", false },
        { "/", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        DirectoryValidator v = validator();
        EXPECT_EQ(v.isSupportedDirectory(c.path), c.supported);
        const QList<RejectedDirectory> expected = c.supported
            ? QList<RejectedDirectory> {}
            : QList<RejectedDirectory> { { c.path + "/", Reason::restrictedPath } };
        EXPECT_EQ(v.rejectedDirectories(), expected);
    }
}

// A folder is admitted by the path it is given in: a link inside the home
// folder may lead to another disk, never into the system's own folders.
TEST_F(DirectoryValidatorTest, ALinkInAnAllowedFolderLeadsAnywhereButIntoTheSystemFolders)
{
    QDir().mkpath(path("elsewhere/secret"));
    QDir().mkpath(home + "/real");
    ASSERT_TRUE(QFile::link(path("elsewhere"), home + "/Photos"));
    ASSERT_TRUE(QFile::link(home + "/real", home + "/inside"));
    ASSERT_TRUE(QFile::link("/etc", home + "/config"));
    ASSERT_TRUE(QFile::link("/usr/share", home + "/shared"));
    ASSERT_TRUE(QFile::link("/", home + "/everything"));
    ASSERT_TRUE(QFile::link(home + "/config", home + "/config-again"));
    ASSERT_TRUE(QFile::link(home, path("homeLink")));
    Preference::set(QStringList { path("homeLink"), "/usr/share/doc" }, PreferenceKey::customDirectories);
    const struct {
        QString path;
        bool supported;
    } cases[] = {
        { home + "/Photos", true },
        { home + "/Photos/secret", true },
        { home + "/Photos/not/yet/made", true },
        { home + "/inside", true },
        { home + "/inside/new/folder", true },
        { path("homeLink/real"), true }, // a link that is itself an allowed root
        { home + "/config", false },
        { home + "/config/not/yet/made", false },
        { home + "/config-again", false }, // a link to a link
        { home + "/shared", false },
        { home + "/everything", false },
        { home + "/everything/tmp", true }, // the real location decides
        { home + "/everything/etc", false },
        { "/usr/share/doc/x", true }, // the user's own folder, wherever it lies
        { path("elsewhere"), false }, // given outside: refused by its own path
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        DirectoryValidator v = validator();
        EXPECT_EQ(v.isSupportedDirectory(c.path), c.supported);
        const QList<RejectedDirectory> expected = c.supported
            ? QList<RejectedDirectory> {}
            : QList<RejectedDirectory> { { c.path + "/", Reason::restrictedPath } };
        EXPECT_EQ(v.rejectedDirectories(), expected);
    }
}

TEST_F(DirectoryValidatorTest, ACustomRootFolderAdmitsEveryAbsolutePath)
{
    DirectoryValidator v = validator();
    v.setCustomDirectories({ "/" });
    EXPECT_EQ(v.customDirectories(), QStringList { "/" });
    EXPECT_TRUE(v.isSupportedDirectory(QStringLiteral("/etc")));
    EXPECT_TRUE(v.isSupportedDirectory(QStringLiteral("")));
    EXPECT_FALSE(v.isSupportedDirectory(QStringLiteral("/../etc")));
}

TEST_F(DirectoryValidatorTest, RejectionsAreSortedByPathAndListedOnce)
{
    DirectoryValidator v = validator();
    v.isSupportedDirectory(path("z"));
    v.isSupportedDirectory(path("a"));
    v.isSupportedDirectory(path("z"));
    v.append({ path("a/"), Reason::error });
    const QList<RejectedDirectory> rejected = v.rejectedDirectories();
    ASSERT_EQ(rejected.size(), 3);
    EXPECT_EQ(rejected[0].path, path("a/"));
    EXPECT_EQ(rejected[1].path, path("a/"));
    EXPECT_NE(rejected[0].reason, rejected[1].reason);
    EXPECT_EQ(rejected[2], (RejectedDirectory { path("z/"), Reason::restrictedPath }));
    v.reset();
    EXPECT_TRUE(v.rejectedDirectories().isEmpty());
}

TEST_F(DirectoryValidatorTest, WritabilityRecordsItsReason)
{
    const QString item = makeFile("home/me/item.txt");
    const struct {
        std::optional<DirectoryRoots::Writability> facts;
        std::optional<Reason> rejectedWith;
    } cases[] = {
        { DirectoryRoots::Writability { false, true }, std::nullopt },
        { DirectoryRoots::Writability { true, true }, Reason::readonlyVolume }, // the volume wins
        { DirectoryRoots::Writability { true, false }, Reason::readonlyVolume },
        { DirectoryRoots::Writability { false, false }, Reason::readonlyPath },
        { std::nullopt, Reason::error },
    };
    for (const auto& c : cases) {
        DirectoryRoots r = roots();
        r.writability = [&](const QString& asked) {
            EXPECT_EQ(asked, item);
            return c.facts;
        };
        DirectoryValidator v(r);
        EXPECT_EQ(v.isWritableDirectory(QUrl::fromLocalFile(item)), !c.rejectedWith.has_value());
        const QList<RejectedDirectory> expected = c.rejectedWith
            ? QList<RejectedDirectory> { { item, *c.rejectedWith } }
            : QList<RejectedDirectory> {};
        EXPECT_EQ(v.rejectedDirectories(), expected);
    }
}

TEST_F(DirectoryValidatorTest, TheDiskCheckReadsTheItemItself)
{
    const QString file = makeFile("home/me/file.txt");
    const auto facts = DirectoryRoots::writabilityOnDisk(file);
    ASSERT_TRUE(facts.has_value());
    EXPECT_FALSE(facts->volumeIsReadOnly);
    EXPECT_TRUE(facts->isWritable);

    // A dangling link is an item of its own: it can be renamed.
    const QString dangling = makeLink("home/me/dangling", path("home/me/missing"));
    const auto linkFacts = DirectoryRoots::writabilityOnDisk(dangling);
    ASSERT_TRUE(linkFacts.has_value());
    EXPECT_TRUE(linkFacts->isWritable);

    DirectoryValidator v = validator();
    EXPECT_FALSE(v.isWritableDirectory(QUrl::fromLocalFile(path("home/me/missing"))));
    EXPECT_EQ(v.rejectedDirectories(), (QList<RejectedDirectory> { { path("home/me/missing"), Reason::error } }));
}

TEST_F(DirectoryValidatorTest, AFolderWithoutWritePermissionIsReadOnlyAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder; the injected check covers readonlyPath";
    const QString folder = makeFolder("home/me/locked");
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    DirectoryValidator v = validator();
    EXPECT_FALSE(v.isWritableDirectory(QUrl::fromLocalFile(folder)));
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_EQ(v.rejectedDirectories(), (QList<RejectedDirectory> { { folder, Reason::readonlyPath } }));
}

namespace {
QString repeated(const QString& unit, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += unit;
    return text;
}
const QString decomposedE = QStringLiteral("e\u0301"); // one character, two code units, three bytes
const QString doubleSlash = QStringLiteral("Double slashes \"//\" are not allowed in Path");
const QString singleDot = QStringLiteral("Folder name is not allowed to be a single dot (\".\")");
const QString doubleDot = QStringLiteral("Folder name is not allowed to be two dots (\"..\")");
const QString longName = QStringLiteral("Folder names cannot exceed 255 characters each");
const QString longPath = QStringLiteral("Path is longer than 1024 characters");
}

TEST_F(DirectoryValidatorTest, PathStringRules)
{
    // 1 + 511 * 2 + 1 = 1024 characters, more than 1024 code units.
    const QString path1024 = "/" + repeated(decomposedE + "/", 511) + decomposedE;
    const struct {
        QString path;
        QSet<QString> messages;
    } cases[] = {
        { "/a/b", {} },
        { "a//b", { doubleSlash } },
        { "a/./b", { singleDot } },
        { "/a/.", { singleDot } },
        { "a/../b", { doubleDot } },
        { "/a/" + repeated("x", 255), {} },
        { "/a/" + repeated("x", 256), { longName } },
        { "/a/" + repeated(QStringLiteral("é"), 127), {} },   // 254 bytes
        { "/a/" + repeated(QStringLiteral("é"), 128), { longName } }, // 128 characters but 256 bytes
        { path1024, {} },
        { path1024 + decomposedE, { longPath } },
        { "//" + repeated("x", 300), { doubleSlash, longName } },
    };
    DirectoryValidator v = validator();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.left(40).toStdString());
        EXPECT_EQ(v.validatePathString(c.path), c.messages);
    }
    EXPECT_TRUE(v.rejectedDirectories().isEmpty());
}

TEST_F(DirectoryValidatorTest, ACaseOnlyChangeIsRefusedOnlyWhereBothSpellingsAreOneFolder)
{
    makeFolder("home/me/photos/2020");
    makeFolder("home/me/music/2020");
    // Stands in for a case-folding file system: "Music" and "music" are one folder.
    makeLink("home/me/Music", path("home/me/music"));
    DirectoryValidator v = validator();

    const QString message = QStringLiteral("The case change of folder \"music\" to \"Music\" cannot be applied "
                                           "unless at least one of its parent folders has a different name.");
    EXPECT_EQ(v.validatePath(home + "/Music/2020", home + "/music/2020"), QSet<QString> { message });
    EXPECT_EQ(v.validatePath(home + "/Music/2020/new", home + "/music/2020"), QSet<QString> { message });
    // A case-sensitive file system: "Photos" is simply another folder.
    EXPECT_TRUE(v.validatePath(home + "/Photos/2020", home + "/photos/2020").isEmpty());
    EXPECT_TRUE(v.validatePath(home + "/Pictures/2020", home + "/music/2020").isEmpty());
    // Only the first differing folder is examined.
    EXPECT_TRUE(v.validatePath(home + "/other/Music", home + "/music/2020").isEmpty());
    EXPECT_TRUE(v.rejectedDirectories().isEmpty());
}

TEST_F(DirectoryValidatorTest, AnUnsupportedNewPathNamesTheAllowedPrefixes)
{
    Preference::set(QStringList { path("Data") }, PreferenceKey::customDirectories);
    DirectoryValidator v = validator();
    const QSet<QString> messages = v.validatePath(path("other//x"), home);
    const QString prefixes = QStringLiteral("Path should start with one of the following prefixes: %1/, %2/, %3. "
                                                "Other folders can be added in Edit \u25B8 Preferences\u2026 (Ctrl+,).")
                                 .arg(home, volume, path("Data"));
    EXPECT_EQ(messages, (QSet<QString> { doubleSlash, prefixes }));
    EXPECT_EQ(v.rejectedDirectories(), (QList<RejectedDirectory> { { path("other//x/"), Reason::restrictedPath } }));

    // The next file of the same folder: the same answer, and the refusal is
    // recorded again after a reset; a new list of folders is a new answer.
    v.reset();
    EXPECT_EQ(v.validatePath(path("other//x"), home), messages);
    EXPECT_EQ(v.rejectedDirectories(), (QList<RejectedDirectory> { { path("other//x/"), Reason::restrictedPath } }));
    v.setCustomDirectories({ path("Data"), path("other") });
    EXPECT_EQ(v.validatePath(path("other//x"), home), QSet<QString> { doubleSlash });
}

TEST(DirectoryRoots, TheMachineGivesTheHomeFolderAndOnlyMountsUnderTheVolumeFolders)
{
    const DirectoryRoots roots = DirectoryRoots::fromMachine();
    EXPECT_EQ(roots.homeDirectory, QDir::cleanPath(TestEnvironment::homePath()));
    const QStringList parents = DirectoryRoots::volumeParents();
    EXPECT_TRUE(parents.contains("/media"));
    EXPECT_TRUE(parents.contains("/mnt"));
    for (const QString& volume : roots.volumes) {
        SCOPED_TRACE(volume.toStdString());
        EXPECT_TRUE(std::any_of(parents.cbegin(), parents.cend(), [&](const QString& parent) {
            return volume == parent || volume.startsWith(parent + "/");
        }));
    }
}
