// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/CaseFolding.h"
#include "engine/DiskMove.h"
#include "engine/FileRenameError.h"
#include "engine/Renamable.h"
#include "files/FileManagerError.h"

#include <QFileInfo>
#include <QJsonArray>

#include <fcntl.h>
#include <stdio.h>

class RenamableTest : public EngineTest {
protected:
    // Renames and answers the error kind, or none on success.
    std::optional<FileRenameError::Kind> renameExpectingFailure(File& file)
    {
        try {
            Renamable::rename(file);
        } catch (const FileRenameError& error) {
            return error.kind();
        }
        return std::nullopt;
    }
};

TEST_F(RenamableTest, TakenTargetsGoToTheNextFreeCounter)
{
    struct Case {
        const char* label;
        QStringList existing; // besides the source
        QString source;
        QString target;
        QString expected;
    };
    const Case cases[] = {
        { "free target", {}, "in/x.pdf", "report.pdf", "report.pdf" },
        { "taken once", { "report.pdf" }, "in/x.pdf", "report.pdf", "report 2.pdf" },
        { "taken twice", { "report.pdf", "report 2.pdf" }, "in/x.pdf", "report.pdf", "report 3.pdf" },
        { "no extension", { "notes" }, "in/x", "notes", "notes 2" },
        { "already counted by validation", { "report 2.pdf" }, "in/x.pdf", "report 2.pdf", "report 2 2.pdf" },
        { "dangling link at the target", {}, "in/x.pdf", "link.pdf", "link 2.pdf" },
    };
    for (const Case& c : cases) {
        QTemporaryDir caseRoot(path(QStringLiteral("case-XXXXXX")));
        const QString base = QFileInfo(caseRoot.path()).fileName() + QLatin1Char('/');
        touch(base + QStringLiteral("keep")); // keeps the case folder from being removed
        for (const QString& name : c.existing)
            touch(base + name, "foreign");
        if (c.target == QLatin1String("link.pdf"))
            ASSERT_EQ(::symlink("nowhere", QFile::encodeName(path(base + c.target)).constData()), 0);
        touch(base + c.source, "mine");

        File file = fileTo(base + c.source, base + c.target);
        Renamable::rename(file);
        EXPECT_EQ(content(base + c.expected), QByteArray("mine")) << c.label;
        EXPECT_FALSE(exists(base + c.source)) << c.label;
        EXPECT_EQ(file.source.fileInfo.fullPath, path(base + c.expected)) << c.label << ": the record keeps the path actually used";
        for (const QString& name : c.existing)
            EXPECT_EQ(content(base + name), QByteArray("foreign")) << c.label << ": never overwritten";
    }
}

// The paths reach the system calls in its encoding, however long: the source
// is found as listed, the move lands on the previewed name, a taken one is seen.
TEST_F(RenamableTest, NamesBeyondAsciiAndLongPathsMoveAsPreviewed)
{
    const QString deep = QStringList(5, QString(120, QChar(0xE9))).join(QLatin1Char('/')); // over 1,200 bytes
    struct Case {
        const char* label;
        QString source;
        QString target;
        QString taken; // besides the source, when not empty
        QString expected;
    };
    const Case cases[] = {
        { "accents", "café.txt", "crème brûlée.txt", {}, "crème brûlée.txt" },
        { "other scripts", "日本語.txt", "Ελληνικά.txt", {}, "Ελληνικά.txt" },
        { "outside the basic plane", "a.txt", "😀 b.txt", {}, "😀 b.txt" },
        { "taken target", "x.txt", "été.txt", "été.txt", "été 2.txt" },
        { "long path", deep + "/a.txt", deep + "/ü.txt", {}, deep + "/ü.txt" },
    };
    for (const Case& c : cases) {
        QTemporaryDir caseRoot(path(QStringLiteral("case-XXXXXX")));
        const QString base = QFileInfo(caseRoot.path()).fileName() + QLatin1Char('/');
        touch(base + QStringLiteral("keep"));
        if (!c.taken.isEmpty())
            touch(base + c.taken, "foreign");
        touch(base + c.source, "mine");

        File file = fileTo(base + c.source, base + c.target);
        ASSERT_NO_THROW(Renamable::rename(file)) << c.label;
        EXPECT_EQ(content(base + c.expected), QByteArray("mine")) << c.label;
        EXPECT_FALSE(exists(base + c.source)) << c.label;
        EXPECT_EQ(file.source.fileInfo.fullPath, path(base + c.expected)) << c.label;
        if (!c.taken.isEmpty())
            EXPECT_EQ(content(base + c.taken), QByteArray("foreign")) << c.label;
    }
}

TEST_F(RenamableTest, AFolderGetsItsCounterAtTheEnd)
{
    mkdir(QStringLiteral("Photos"));
    touch(QStringLiteral("Other/a.jpg"));
    File folder = fileTo(QStringLiteral("Other"), QStringLiteral("Photos"));
    Renamable::rename(folder);
    EXPECT_TRUE(exists(QStringLiteral("Photos 2/a.jpg")));
    EXPECT_TRUE(exists(QStringLiteral("Photos")));
}

TEST_F(RenamableTest, WithoutAutoResolveATakenTargetFailsAndNothingMoves)
{
    setPreference(PreferenceKey::autoResolveDuplicates, false);
    touch(QStringLiteral("report.pdf"), "foreign");
    touch(QStringLiteral("x.pdf"), "mine");
    File file = fileTo(QStringLiteral("x.pdf"), QStringLiteral("report.pdf"));
    try {
        Renamable::rename(file);
        FAIL() << "the rename should have failed";
    } catch (const FileRenameError& error) {
        EXPECT_EQ(error.kind(), FileRenameError::Kind::targetAlreadyExists);
        EXPECT_EQ(error.url(), QUrl::fromLocalFile(path(QStringLiteral("report.pdf"))));
    }
    EXPECT_EQ(content(QStringLiteral("x.pdf")), QByteArray("mine"));
    EXPECT_EQ(content(QStringLiteral("report.pdf")), QByteArray("foreign"));
    EXPECT_EQ(file.source.fileInfo.fullPath, path(QStringLiteral("x.pdf")));
}

TEST_F(RenamableTest, AMissingSourceFailsAndCreatesNothing)
{
    touch(QStringLiteral("gone.txt"));
    File file = fileTo(QStringLiteral("gone.txt"), QStringLiteral("new/deeper/name.txt"));
    QFile::remove(path(QStringLiteral("gone.txt")));
    EXPECT_EQ(renameExpectingFailure(file), FileRenameError::Kind::sourceDoesNotExist);
    EXPECT_FALSE(exists(QStringLiteral("new")));
}

// Another item under the listed name is never moved in the listed item's
// place: neither a file saved over it (a new inode) nor one that got the freed
// inode number back, which only its birth time tells apart.
TEST_F(RenamableTest, AnotherItemUnderTheListedNameStaysWhereItIs)
{
    struct Case {
        const char* label;
        std::function<void(File& listed, const QString& relative)> replace;
    };
    const Case cases[] = {
        { "saved over from beside",
            [this](File&, const QString& relative) {
                touch(relative + QStringLiteral(".new"), "other");
                ASSERT_EQ(::rename(QFile::encodeName(path(relative + QStringLiteral(".new"))).constData(),
                              QFile::encodeName(path(relative)).constData()), 0);
            } },
        { "the inode number given to a later file",
            [this](File& listed, const QString& relative) {
                // The listing saw an item born earlier with this inode number.
                QFile::remove(path(relative));
                touch(relative, "other");
                const std::optional<DiskMove::Identity> now = DiskMove::identity(path(relative));
                ASSERT_TRUE(now.has_value());
                if (!now->birthMilliseconds)
                    GTEST_SKIP() << "this file system keeps no birth times";
                ExtendedFileInfo& info = listed.source.fileInfo;
                info.device = now->device;
                info.inode = now->inode;
                info.creationDate = QDateTime::fromMSecsSinceEpoch(*now->birthMilliseconds - 1000, Qt::UTC);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir caseRoot(path(QStringLiteral("case-XXXXXX")));
        const QString base = QFileInfo(caseRoot.path()).fileName() + QLatin1Char('/');
        touch(base + QStringLiteral("keep"));
        touch(base + QStringLiteral("a.txt"), "mine");
        File file = fileTo(base + QStringLiteral("a.txt"), base + QStringLiteral("b.txt"));
        c.replace(file, base + QStringLiteral("a.txt"));
        if (HasFatalFailure() || IsSkipped())
            return;

        EXPECT_FALSE(Renamable::isListedItemInPlace(file));
        EXPECT_EQ(renameExpectingFailure(file), FileRenameError::Kind::sourceReplaced);
        EXPECT_EQ(content(base + QStringLiteral("a.txt")), QByteArray("other"));
        EXPECT_FALSE(exists(base + QStringLiteral("b.txt")));
    }
}

TEST_F(RenamableTest, MissingTargetFoldersAreCreated)
{
    touch(QStringLiteral("stay"));
    touch(QStringLiteral("a.txt"));
    File file = fileTo(QStringLiteral("a.txt"), QStringLiteral("x/y/z/b.txt"));
    Renamable::rename(file);
    EXPECT_TRUE(exists(QStringLiteral("x/y/z/b.txt")));
}

TEST_F(RenamableTest, CaseOnlyChanges)
{
    // This file system keeps both spellings apart: a case-only change is an
    // ordinary rename, and another file with the new spelling is taken.
    touch(QStringLiteral("keep"));
    touch(QStringLiteral("a.txt"), "mine");
    File alone = fileTo(QStringLiteral("a.txt"), QStringLiteral("A.txt"));
    Renamable::rename(alone);
    EXPECT_EQ(entries(), (QStringList { QStringLiteral("A.txt"), QStringLiteral("keep") }));

    touch(QStringLiteral("b.txt"), "mine");
    touch(QStringLiteral("B.txt"), "foreign");
    File withForeign = fileTo(QStringLiteral("b.txt"), QStringLiteral("B.txt"));
    Renamable::rename(withForeign);
    EXPECT_EQ(content(QStringLiteral("B.txt")), QByteArray("foreign"));
    EXPECT_EQ(content(QStringLiteral("B 2.txt")), QByteArray("mine"));

    // One inode under both spellings, but two entries (a hard link): the new
    // spelling is another name in the folder, so it is taken too.
    touch(QStringLiteral("c.txt"), "linked");
    ASSERT_EQ(::link(QFile::encodeName(path(QStringLiteral("c.txt"))).constData(),
                  QFile::encodeName(path(QStringLiteral("C.txt"))).constData()), 0);
    File hardLinked = fileTo(QStringLiteral("c.txt"), QStringLiteral("C.txt"));
    Renamable::rename(hardLinked);
    EXPECT_TRUE(exists(QStringLiteral("C.txt")));
    EXPECT_EQ(content(QStringLiteral("C 2.txt")), QByteArray("linked"));
    EXPECT_FALSE(exists(QStringLiteral("c.txt")));
    EXPECT_EQ(entries().filter(QStringLiteral(".bf-rename")), QStringList()) << "no temporary name is left";
}

TEST_F(RenamableTest, EmptiedFoldersAreRemovedUpToTheAllowedRoot)
{
    touch(QStringLiteral("deep/er/est/a.txt"));
    touch(QStringLiteral("deep/er/est/.DS_Store"));
    File file = fileTo(QStringLiteral("deep/er/est/a.txt"), QStringLiteral("b.txt"));
    Renamable::rename(file);
    EXPECT_TRUE(exists(QStringLiteral("b.txt")));
    EXPECT_FALSE(exists(QStringLiteral("deep"))) << "folders holding only ignored files go, up the chain";
    EXPECT_TRUE(QFileInfo::exists(root.path()));

    // An allowed root stays even when the move empties it.
    store->setValue(PreferenceKey::customDirectories.rawValue, QJsonArray { path(QStringLiteral("custom")) });
    touch(QStringLiteral("custom/sub/c.txt"));
    File inCustom = fileTo(QStringLiteral("custom/sub/c.txt"), QStringLiteral("c.txt"));
    Renamable::rename(inCustom);
    EXPECT_FALSE(exists(QStringLiteral("custom/sub")));
    EXPECT_TRUE(exists(QStringLiteral("custom")));
}

TEST_F(RenamableTest, KeptFoldersStayWhenEmptied)
{
    touch(QStringLiteral("listed/a.txt"));
    File file = fileTo(QStringLiteral("listed/a.txt"), QStringLiteral("a.txt"));
    const QString listed = path(QStringLiteral("listed"));
    Renamable::rename(file, { [&](const QString& folder) { return folder == listed; } });
    EXPECT_TRUE(exists(QStringLiteral("listed")));
}

TEST_F(RenamableTest, SymbolicLinksFollowTheMovedItem)
{
    touch(QStringLiteral("real.txt"), "real");
    ASSERT_EQ(::symlink(QFile::encodeName(path(QStringLiteral("real.txt"))).constData(),
                  QFile::encodeName(path(QStringLiteral("alias.txt"))).constData()), 0);
    File file(QUrl::fromLocalFile(path(QStringLiteral("alias.txt"))), true);
    ASSERT_EQ(file.source.fileInfo.fullPath, path(QStringLiteral("real.txt")));
    file.transformed.setTransformedFullPath(path(QStringLiteral("moved.txt")));
    Renamable::rename(file);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("alias.txt"))).symLinkTarget(), path(QStringLiteral("moved.txt")));
    EXPECT_EQ(content(QStringLiteral("alias.txt")), QByteArray("real"));
}

TEST_F(RenamableTest, ALinkToALinkIsRepointedToTheFinalItem)
{
    touch(QStringLiteral("real.txt"), "real");
    ASSERT_EQ(::symlink("real.txt", QFile::encodeName(path(QStringLiteral("inner"))).constData()), 0);
    ASSERT_EQ(::symlink("inner", QFile::encodeName(path(QStringLiteral("outer"))).constData()), 0);
    File file(QUrl::fromLocalFile(path(QStringLiteral("outer"))), true);
    ASSERT_EQ(file.source.fileInfo.fullPath, path(QStringLiteral("real.txt")));
    file.transformed.setTransformedFullPath(path(QStringLiteral("moved.txt")));
    Renamable::rename(file);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("outer"))).symLinkTarget(), path(QStringLiteral("moved.txt")));
    EXPECT_EQ(content(QStringLiteral("outer")), QByteArray("real"));
}

TEST_F(RenamableTest, ALinkReplacedAfterTheListingIsLeftAlone)
{
    touch(QStringLiteral("real.txt"), "real");
    touch(QStringLiteral("other.txt"), "other");
    const QByteArray alias = QFile::encodeName(path(QStringLiteral("alias.txt")));
    ASSERT_EQ(::symlink(QFile::encodeName(path(QStringLiteral("real.txt"))).constData(), alias.constData()), 0);
    File file(QUrl::fromLocalFile(path(QStringLiteral("alias.txt"))), true);
    file.transformed.setTransformedFullPath(path(QStringLiteral("moved.txt")));
    // Another program puts a link of its own there. Made beside the old one and
    // moved over it, so it cannot get the freed inode back within the same
    // timestamp tick and pass for the listed link.
    const QByteArray replacement = QFile::encodeName(path(QStringLiteral("replacement.txt")));
    ASSERT_EQ(::symlink(QFile::encodeName(path(QStringLiteral("other.txt"))).constData(), replacement.constData()), 0);
    ASSERT_EQ(::rename(replacement.constData(), alias.constData()), 0);

    const QStringList warnings = Renamable::rename(file);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_EQ(content(QStringLiteral("moved.txt")), QByteArray("real"));
    EXPECT_EQ(content(QStringLiteral("alias.txt")), QByteArray("other"));
}

TEST_F(RenamableTest, AFailureAfterTheMoveIsAWarningNotAFailure)
{
    touch(QStringLiteral("real.txt"), "real");
    ASSERT_EQ(::symlink(QFile::encodeName(path(QStringLiteral("real.txt"))).constData(),
                  QFile::encodeName(path(QStringLiteral("alias.txt"))).constData()), 0);
    File file(QUrl::fromLocalFile(path(QStringLiteral("alias.txt"))), true);
    file.transformed.setTransformedFullPath(path(QStringLiteral("moved.txt")));
    // The link is replaced by a plain file before the rename: it cannot be re-pointed.
    QFile::remove(path(QStringLiteral("alias.txt")));
    touch(QStringLiteral("alias.txt"), "not a link");

    QStringList warnings;
    ASSERT_NO_THROW(warnings = Renamable::rename(file));
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_EQ(content(QStringLiteral("moved.txt")), QByteArray("real"));
    EXPECT_EQ(content(QStringLiteral("alias.txt")), QByteArray("not a link")) << "a file is never replaced by a link";
    EXPECT_EQ(file.source.fileInfo.fullPath, path(QStringLiteral("moved.txt")));
    EXPECT_TRUE(file.validation.warnings.contains(warnings.first()));
}

TEST_F(RenamableTest, AReadOnlyFolderRefusesTheMoveAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the errno mapping is tested on its own";
    touch(QStringLiteral("locked/a.txt"));
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("locked"))).constData(), 0555), 0);
    File file = fileTo(QStringLiteral("locked/a.txt"), QStringLiteral("locked/b.txt"));
    try {
        Renamable::rename(file);
        ADD_FAILURE() << "the move should have been refused";
    } catch (const FileManagerError& error) {
        EXPECT_EQ(error.code(), EACCES);
    }
    ::chmod(QFile::encodeName(path(QStringLiteral("locked"))).constData(), 0755);
    EXPECT_TRUE(exists(QStringLiteral("locked/a.txt")));
}

// While a run holds its folder open, the looks and moves still go where the
// paths lead when that folder was moved away or removed and made again.
TEST_F(RenamableTest, AHeldFolderFollowsThePathWhenMovedOrMadeAgain)
{
    for (const bool moved : { true, false }) {
        SCOPED_TRACE(moved ? "moved away" : "removed");
        touch(QStringLiteral("P/old.txt"));
        const DiskMove::FolderScope held;
        ASSERT_TRUE(DiskMove::exists(path(QStringLiteral("P/old.txt"))));
        if (moved) {
            // Into another folder: the move itself holds no folder.
            mkdir(QStringLiteral("elsewhere"));
            ASSERT_EQ(DiskMove::moveNoReplace(path(QStringLiteral("P")), path(QStringLiteral("elsewhere/Q"))), 0);
        } else {
            QFile::remove(path(QStringLiteral("P/old.txt")));
            ASSERT_EQ(::rmdir(QFile::encodeName(path(QStringLiteral("P"))).constData()), 0);
        }
        touch(QStringLiteral("P/new.txt"), "new");
        EXPECT_FALSE(DiskMove::exists(path(QStringLiteral("P/old.txt"))));
        EXPECT_TRUE(DiskMove::exists(path(QStringLiteral("P/new.txt"))));
        EXPECT_EQ(DiskMove::moveNoReplace(path(QStringLiteral("P/new.txt")), path(QStringLiteral("P/renamed.txt"))), 0);
        EXPECT_EQ(content(QStringLiteral("P/renamed.txt")), QByteArray("new"));
        QDir(path(QStringLiteral("P"))).removeRecursively();
        QDir(path(QStringLiteral("elsewhere"))).removeRecursively();
    }
}
