// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/RenameError.h"
#include "engine/TransformationUtil.h"

#include <QDirIterator>

#include <cerrno>

using Status = RenameContext::Status;


class RenameLoopTest : public EngineTest {
protected:
    // Creates each source holding its own name and lists it with its target.
    QList<File> listed(const QList<std::pair<QString, QString>>& moves)
    {
        touch(QStringLiteral("keep"));
        QList<File> files;
        for (const auto& [from, to] : moves) {
            if (!exists(from))
                touch(from, from.toUtf8());
            files << fileTo(from, to);
        }
        return files;
    }
    const File* fileFrom(const RenameContext& context, const QList<File>& original, int index)
    {
        for (const File& file : context.files)
            if (file.source.id == original[index].source.id)
                return &file;
        return nullptr;
    }
};

TEST_F(RenameLoopTest, SwapsChainsAndCyclesEndAsPreviewed)
{
    struct Case {
        const char* label;
        QList<std::pair<QString, QString>> moves;
    };
    const Case cases[] = {
        { "swap", { { "a", "b" }, { "b", "a" } } },
        { "chain in list order", { { "a", "b" }, { "b", "c" } } },
        { "chain in reverse order", { { "b", "c" }, { "a", "b" } } },
        { "cycle of three", { { "a", "b" }, { "b", "c" }, { "c", "a" } } },
        { "swap across folders", { { "x/a", "y/b" }, { "y/b", "x/a" } } },
        { "swap with extensions", { { "one.txt", "two.txt" }, { "two.txt", "one.txt" }, { "three.txt", "four.txt" } } },
    };
    for (const Case& c : cases) {
        QTemporaryDir caseDir(path(QStringLiteral("case-XXXXXX")));
        const QString base = QFileInfo(caseDir.path()).fileName() + QLatin1Char('/');
        QList<std::pair<QString, QString>> moves;
        for (const auto& [from, to] : c.moves)
            moves << std::pair { base + from, base + to };
        const QList<File> files = listed(moves);

        const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
        EXPECT_EQ(result.status, Status::done) << c.label;
        EXPECT_EQ(result.totalSuccess, c.moves.size()) << c.label;
        EXPECT_EQ(result.totalErrors, 0) << c.label;
        EXPECT_TRUE(result.parkedFiles.isEmpty()) << c.label;
        for (int i = 0; i < files.size(); ++i) {
            const auto& [from, to] = moves[i];
            EXPECT_EQ(content(to), from.toUtf8()) << c.label << ": " << to.toStdString();
            const File* record = fileFrom(result, files, i);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->source.fileInfo.fullPath, path(to)) << c.label;
        }
        QStringList left;
        QDirIterator it(caseDir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            left << it.next();
        EXPECT_EQ(left.filter(QStringLiteral(".bf-rename")), QStringList()) << c.label;
    }
}

TEST_F(RenameLoopTest, AFolderAndFilesInsideItBothChange)
{
    touch(QStringLiteral("D/f.txt"), "f");
    touch(QStringLiteral("D/h.txt"), "h");
    touch(QStringLiteral("D/k.txt"), "k");
    // The child is listed before its folder; both carry the folder's new name.
    // k.txt changes only with its folder: the folder's move is its rename.
    QList<File> files = listed({ { "D/f.txt", "E/g.txt" }, { "D", "E" }, { "D/h.txt", "D/h.txt" }, { "D/k.txt", "E/k.txt" } });
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.status, Status::done);
    EXPECT_EQ(result.totalSuccess, 3) << "the carried file counts once";
    EXPECT_EQ(content(QStringLiteral("E/g.txt")), QByteArray("f"));
    EXPECT_EQ(content(QStringLiteral("E/h.txt")), QByteArray("h")) << "an unchanged file travels with its folder";
    EXPECT_EQ(content(QStringLiteral("E/k.txt")), QByteArray("k"));
    EXPECT_FALSE(exists(QStringLiteral("D")));
    EXPECT_FALSE(exists(QStringLiteral("E 2")));
    EXPECT_EQ(fileFrom(result, files, 2)->source.fileInfo.fullPath, path(QStringLiteral("E/h.txt"))) << "its record follows";
    EXPECT_EQ(fileFrom(result, files, 3)->source.fileInfo.fullPath, path(QStringLiteral("E/k.txt")));
}

// Every record inside a moved folder follows it, however deep, moved or not,
// through moves of folders inside folders; so do the folders the run made.
TEST_F(RenameLoopTest, RecordsFollowNestedFolderMoves)
{
    touch(QStringLiteral("D/S/f.txt"), "f");
    touch(QStringLiteral("D/S/g.txt"), "g");
    touch(QStringLiteral("D/a"), "a");
    touch(QStringLiteral("D/S/U/k"), "k");
    QList<File> files = listed({ { "D/S/f.txt", "D/S/f.txt" }, { "D/S/g.txt", "E/T/h.txt" }, { "D/a", "E/N/a" },
        { "D/S/U/k", "E/T/U/k" }, { "D/S/U", "E/T/U" }, { "D/S", "E/T" }, { "D", "E" } });
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.status, Status::done);
    const QStringList expected { "E/T/f.txt", "E/T/h.txt", "E/N/a", "E/T/U/k", "E/T/U", "E/T", "E" };
    for (qsizetype i = 0; i < files.size(); ++i) {
        const File* record = fileFrom(result, files, static_cast<int>(i));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->source.fileInfo.fullPath, path(expected[i])) << i;
        EXPECT_TRUE(exists(expected[i])) << expected[i].toStdString();
    }
    EXPECT_EQ(content(QStringLiteral("E/T/h.txt")), QByteArray("g"));
    EXPECT_FALSE(exists(QStringLiteral("D")));
    for (const QString& folder : result.createdFolders)
        EXPECT_TRUE(exists(folder.mid(root.path().size() + 1))) << "a made folder is known where it is: " << folder.toStdString();
}

// A folder goes before the files inside it, however deep, even when they are
// listed first and keep its old name in their targets: each lands where the
// preview showed it, not carried off with the folder.
TEST_F(RenameLoopTest, AFolderMovesBeforeTheFilesInsideIt)
{
    struct Case {
        const char* label;
        QString source;
        QString target;
    };
    const Case cases[] = {
        { "in the folder", "D/f.txt", "D/g.txt" },
        { "two folders down", "D/s/t/f.txt", "D/s/t/g.txt" },
    };
    for (const Case& c : cases) {
        QTemporaryDir caseDir(path(QStringLiteral("case-XXXXXX")));
        const QString base = QFileInfo(caseDir.path()).fileName() + QLatin1Char('/');
        touch(base + c.source, "f");
        const QList<File> files = listed({ { base + c.source, base + c.target }, { base + "D", base + "E" } });
        const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
        EXPECT_EQ(result.status, Status::done) << c.label;
        EXPECT_EQ(result.totalSuccess, 2) << c.label;
        EXPECT_EQ(content(base + c.target), QByteArray("f")) << c.label;
        EXPECT_TRUE(exists(base + "E")) << c.label;
        EXPECT_EQ(fileFrom(result, files, 0)->source.fileInfo.fullPath, path(base + c.target)) << c.label;
    }
}

// A file that goes into a folder still to be made, where a listed file stands
// that leaves: that file moves first, whichever comes first in the list.
TEST_F(RenameLoopTest, AFileLeavesThePlaceOfAFolderStillToBeMadeFirst)
{
    touch(QStringLiteral("L/x.txt"), "x");
    touch(QStringLiteral("L/a"), "a");
    const QList<File> files = listed({ { "L/x.txt", "L/a/x.txt" }, { "L/a", "L/b" } });
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.status, Status::done);
    EXPECT_EQ(result.totalSuccess, 2);
    EXPECT_EQ(content(QStringLiteral("L/a/x.txt")), QByteArray("x"));
    EXPECT_EQ(content(QStringLiteral("L/b")), QByteArray("a"));
}

// The files still to come are looked up by the paths their records hold when a
// target is first found taken: after their folder moved, those are the new ones.
TEST_F(RenameLoopTest, ASwapInsideAMovedFolderEndsAsPreviewed)
{
    touch(QStringLiteral("D/a"), "a");
    touch(QStringLiteral("D/b"), "b");
    QList<File> files = listed({ { "D/a", "E/b" }, { "D/b", "E/a" }, { "D", "E" } });
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.status, Status::done);
    EXPECT_EQ(result.totalSuccess, 3);
    EXPECT_EQ(content(QStringLiteral("E/b")), QByteArray("a"));
    EXPECT_EQ(content(QStringLiteral("E/a")), QByteArray("b"));
    EXPECT_FALSE(exists(QStringLiteral("D")));
    EXPECT_EQ(fileFrom(result, files, 0)->source.fileInfo.fullPath, path(QStringLiteral("E/b")));
    EXPECT_EQ(fileFrom(result, files, 1)->source.fileInfo.fullPath, path(QStringLiteral("E/a")));
    const QStringList left = QDir(path(QStringLiteral("E"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, (QStringList { QStringLiteral("a"), QStringLiteral("b") })) << "no parking name is left";
}

TEST_F(RenameLoopTest, ATargetHeldByAForeignFileGetsACounterAndTheRecordKeepsIt)
{
    touch(QStringLiteral("b"), "foreign");
    QList<File> files = listed({ { "a", "b" } });
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.totalSuccess, 1);
    EXPECT_EQ(content(QStringLiteral("b")), QByteArray("foreign"));
    EXPECT_EQ(result.files[0].source.fileInfo.fullPath, path(QStringLiteral("b 2")));
}

TEST_F(RenameLoopTest, AFailureStopsTheRunAndTheRunGoesOnAfterIt)
{
    QList<File> files = listed({ { "1", "one" }, { "2", "two" }, { "3", "three" } });
    QFile::remove(path(QStringLiteral("2")));

    LogCapture log;
    RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(context.status, Status::error);
    EXPECT_FALSE(context.isFinished());
    ASSERT_TRUE(context.errorDetails);
    EXPECT_EQ(context.errorDetails->fileIndex, 1);
    EXPECT_EQ(context.errorDetails->error.errorCode(), (RenameErrorCode { RenameError::renameDomain, ENOENT }));
    EXPECT_EQ(context.errorDetails->error.message,
        QStringLiteral("The file \"2\" is no longer in %1.").arg(root.path()));
    EXPECT_EQ(context.files[1].validation.errors, QSet<QString> { context.errorDetails->error.message })
        << "the row shows why the file kept its name";
    EXPECT_EQ(context.totalSuccess, 1);
    EXPECT_EQ(context.totalErrors, 1);
    EXPECT_FALSE(exists(QStringLiteral("three")));
    EXPECT_TRUE(log.contains(QStringLiteral("🟩 Start renaming 3 files")));

    log.clear();
    context = TransformationUtil::renameFiles(context);
    EXPECT_EQ(context.status, Status::done);
    EXPECT_FALSE(context.errorDetails);
    EXPECT_EQ(context.totalSuccess, 2);
    EXPECT_EQ(context.totalErrors, 1);
    EXPECT_TRUE(exists(QStringLiteral("three")));
    EXPECT_FALSE(log.contains(QStringLiteral("🟩 Start renaming 3 files"))) << "a resumed run logs no start";

    // Resuming after the last file renames nothing more.
    context.status = Status::error;
    context.errorDetails = RenameContext::ErrorDetails { 2, {} };
    const RenameContext atEnd = TransformationUtil::renameFiles(context);
    EXPECT_EQ(atEnd.status, Status::done);
    EXPECT_EQ(atEnd.totalSuccess, 2);
}

TEST_F(RenameLoopTest, IgnoredCodesAreKeptWithTheirDomain)
{
    QList<File> files = listed({ { "1", "one" }, { "2", "two" }, { "3", "three" } });
    QFile::remove(path(QStringLiteral("2")));

    // The same number in another domain ignores nothing.
    RenameContext context = RenameContext::make(files);
    context.ignoredErrorCodes = { { RenameError::posixDomain, ENOENT }, { RenameError::fileDomain, ENOENT } };
    context = TransformationUtil::renameFiles(context);
    EXPECT_EQ(context.status, Status::error);

    context = RenameContext::make(files);
    context.files[0] = fileTo(QStringLiteral("one"), QStringLiteral("1"));
    context.ignoredErrorCodes = { { RenameError::renameDomain, ENOENT } };
    context = TransformationUtil::renameFiles(context);
    EXPECT_EQ(context.status, Status::done);
    EXPECT_EQ(context.totalSuccess, 2);
    EXPECT_EQ(context.totalErrors, 1);
    EXPECT_EQ(context.totalIgnoredErrors, 1);
    EXPECT_TRUE(exists(QStringLiteral("three")));
}

TEST_F(RenameLoopTest, ErrnoValuesMapToTheFileCodes)
{
    const std::pair<int, RenameErrorCode> cases[] = {
        { EACCES, { RenameError::fileDomain, 513 } },
        { EPERM, { RenameError::fileDomain, 513 } },
        { EROFS, { RenameError::fileDomain, 642 } },
        { ENOENT, { RenameError::fileDomain, 4 } },
        { EEXIST, { RenameError::fileDomain, 516 } },
        { ENOSPC, { RenameError::fileDomain, 640 } },
        { ENAMETOOLONG, { RenameError::fileDomain, 514 } },
        { EXDEV, { RenameError::posixDomain, EXDEV } },
    };
    for (const auto& [errnum, expected] : cases)
        EXPECT_EQ(RenameError::codeForErrno(errnum), expected) << errnum;
}

TEST_F(RenameLoopTest, PermissionErrorsAreIgnoredOnlyWhenThePreferenceSaysSo)
{
    const RenameErrorCode permission = RenameError::codeForErrno(EACCES);
    const RenameErrorCode readOnly = RenameError::codeForErrno(EROFS);
    const RenameErrorCode posix513 { RenameError::posixDomain, 513 };
    EXPECT_FALSE(TransformationUtil::isIgnoredErrorCode(permission, {}));
    setPreference(PreferenceKey::autoIgnoreFilePermissionErrors, true);
    EXPECT_TRUE(TransformationUtil::isIgnoredErrorCode(permission, {}));
    EXPECT_TRUE(TransformationUtil::isIgnoredErrorCode(readOnly, {}));
    EXPECT_FALSE(TransformationUtil::isIgnoredErrorCode(posix513, {}));
    EXPECT_FALSE(TransformationUtil::isIgnoredErrorCode(RenameError::codeForErrno(ENOENT), {}));
}

TEST_F(RenameLoopTest, AReadOnlyFolderStopsTheRunWith513AsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the errno mapping is tested on its own";
    QList<File> files = listed({ { "locked/a", "locked/b" } });
    ::chmod(QFile::encodeName(path(QStringLiteral("locked"))).constData(), 0555);
    const RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files));
    ::chmod(QFile::encodeName(path(QStringLiteral("locked"))).constData(), 0755);
    ASSERT_TRUE(context.errorDetails);
    EXPECT_EQ(context.errorDetails->error.errorCode(), (RenameErrorCode { RenameError::fileDomain, 513 }));
}

TEST_F(RenameLoopTest, FilesThatDoNotChangeAreNotCounted)
{
    touch(QStringLiteral("folder/inside"));
    QList<File> files = listed({ { "same", "same" }, { "folder", "renamed" } });
    files << fileTo(QStringLiteral("keep"), QStringLiteral("kept"));
    files.last().validation.insertError(QStringLiteral("Filename is empty"));

    setPreference(PreferenceKey::renameEmptyFolders, false);
    int reports = 0;
    SteppingClock slow(std::chrono::seconds(5));
    const RenameContext context = TransformationUtil::renameFiles(
        RenameContext::make(files), [&](const ProgressData&) { ++reports; }, {}, slow);
    EXPECT_EQ(context.status, Status::done);
    EXPECT_EQ(context.totalSuccess + context.totalErrors, 0);
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(exists(QStringLiteral("folder")));
    EXPECT_TRUE(exists(QStringLiteral("keep")));
}

TEST_F(RenameLoopTest, AfterTheFirstSecondEveryRenamedFileIsReported)
{
    QList<std::pair<QString, QString>> moves;
    for (int i = 0; i < 10; ++i)
        moves.append({ QString::number(i), QStringLiteral("n%1").arg(i) });
    QList<File> files = listed(moves);
    std::vector<qint64> reported;
    auto record = [&](const ProgressData& data) {
        reported.push_back(data.progressCount);
        EXPECT_EQ(data.totalCount, 10);
    };

    ManualClock stopped;
    TransformationUtil::renameFiles(RenameContext::make(files), record, {}, stopped);
    EXPECT_TRUE(reported.empty()) << "a run under a second reports nothing";

    for (auto& file : files)
        file = fileTo(FileUrl::path(file.targetUrl()).mid(root.path().size() + 1), file.source.fileInfo.name);
    // The file at 5 is gone, a failure the run goes on after: it is not reported.
    QFile::remove(path(QStringLiteral("n5")));
    RenameContext context = RenameContext::make(files);
    context.ignoredErrorCodes = { { RenameError::renameDomain, ENOENT } };
    // 400 ms pass for every reading, the start's and one a renamed file's:
    // the second has passed from the file at 2 on.
    SteppingClock slow(std::chrono::milliseconds(400));
    context = TransformationUtil::renameFiles(std::move(context), record, {}, slow);
    EXPECT_EQ(context.totalSuccess, 9);
    EXPECT_EQ(reported, (std::vector<qint64> { 2, 3, 4, 6, 7, 8, 9 }));
}

TEST_F(RenameLoopTest, CancellationStopsAfterTheNextAttemptedFile)
{
    QList<File> files = listed({ { "same", "same" }, { "1", "one" }, { "2", "two" } });
    std::stop_source source;
    source.request_stop();
    LogCapture log;
    const RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files), {}, source.get_token());
    EXPECT_EQ(context.status, Status::aborted);
    EXPECT_TRUE(context.isFinished());
    EXPECT_EQ(context.totalSuccess, 1);
    EXPECT_TRUE(exists(QStringLiteral("one")));
    EXPECT_TRUE(exists(QStringLiteral("2")));
    EXPECT_EQ(fileFrom(context, files, 1)->source.fileInfo.fullPath, path(QStringLiteral("one")));
    EXPECT_TRUE(log.contains(QStringLiteral("🟥 Renaming Task aborted by user request")));
}

TEST_F(RenameLoopTest, CancellationWaitsForACycleToClose)
{
    QList<File> files = listed({ { "a", "b" }, { "b", "a" }, { "x", "y" } });
    std::stop_source source;
    source.request_stop();
    const RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files), {}, source.get_token());
    EXPECT_EQ(context.status, Status::aborted);
    EXPECT_EQ(content(QStringLiteral("a")), QByteArray("b"));
    EXPECT_EQ(content(QStringLiteral("b")), QByteArray("a"));
    EXPECT_TRUE(exists(QStringLiteral("x")));
}
