// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/CaseFolding.h"
#include "engine/FileValidationUtil.h"
#include "engine/TransformationUtil.h"

#include <cstring>
#include <functional>
#include <optional>

using namespace FileValidationUtil;

namespace {

struct NameCase {
    const char* label;
    QString name;
    QString ext;
    QSet<QString> errors;
};

} // namespace

class FileValidationUtilTest : public EngineTest {
protected:
    File fileNamed(const QString& name, const QString& ext)
    {
        File file(QUrl::fromLocalFile(touch(QStringLiteral("dir/original.txt"))), false);
        file.transformed.transformedName = NormalizedText<FileTransformRules::name>::unnormalized(name);
        file.transformed.transformedExt = NormalizedText<FileTransformRules::ext>::unnormalized(ext);
        return file;
    }
    // Files at dir/<name>.txt that all move to the given names in dir.
    QList<File> moves(const QList<std::pair<QString, QString>>& pairs)
    {
        QList<File> files;
        for (const auto& [from, to] : pairs) {
            touch(QStringLiteral("dir/") + from);
            files << fileTo(QStringLiteral("dir/") + from, QStringLiteral("dir/") + to);
        }
        return files;
    }
};

TEST_F(FileValidationUtilTest, MessagesOfOneNewName)
{
    const QString dots254 = QString(254, QLatin1Char('e'));
    const NameCase cases[] = {
        { "plain name", "report", "pdf", {} },
        { "empty name", "", "txt", { Message::empty } },
        { "only dots", "...", "", { "Filename is empty" } },
        { "only spaces", "   ", "txt", { "Filename is empty" } },
        { "dots and spaces", " . .", "txt", { "Filename is empty" } },
        { "a letter among dots and spaces", " .a.", "txt", {} },
        { "only no-break spaces", QString(2, QChar(0x00A0)), "txt", { "Filename is empty" } },
        { "a line of spaces after a vertical tab", QStringLiteral("a\v "), "txt", { "Filename is empty" } },
        { "line of dots after a line feed", "abc\n..", "", { "Filename is empty", "Filename contains invalid characters: line feed" } },
        { "line feed in the name", "a\nb", "txt", { "Filename contains invalid characters: line feed" } },
        { "tab in the name", "a\tb", "txt", { "Filename contains invalid characters: tab" } },
        { "line feed in the extension", "name", "t\nx", {} },
        { "tab, carriage return and slash", "a\tb\rc/d", "t/x",
            { "Filename contains invalid characters: tab, carriage return, \u201c/\u201d" } },
        { "slash in the name", "a/b", "txt", { "Filename contains invalid characters: \u201c/\u201d" } },
        { "slash in the extension", "a", "t/x", { "Filename contains invalid characters: \u201c/\u201d" } },
        { "NUL in the name", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "txt", { "Filename contains invalid characters: NUL" } },
        { "a single dot", ".", "", { "Filename is empty" } },
        { "two dots", "..", "", { "Filename is empty" } },
        { "dot and extension make 256", "a", dots254, { Message::tooLong } },
        { "dot and extension make 255", "a", QString(253, QLatin1Char('e')), {} },
        { "255 characters without extension", QString(255, QLatin1Char('n')), "", {} },
        { "256 characters without extension", QString(256, QLatin1Char('n')), "", { Message::tooLong } },
        { "few characters, too many UTF-8 bytes", QString(130, QChar(0x00E9)), "", { Message::tooLong } },
        { "one character of many code points", QStringLiteral("e") + QString(300, QChar(0x0301)), "", { Message::tooLong } },
        { "85 three-byte characters and an extension", QString(85, QChar(0x4E2D)), "t", { Message::tooLong } },
        { "84 three-byte characters and an extension", QString(84, QChar(0x4E2D)), "tx", {} },
        { "63 four-byte characters and an extension", QString::fromUtf8("\xF0\x9F\x93\xB7").repeated(63), "tx", {} },
        { "64 four-byte characters", QString::fromUtf8("\xF0\x9F\x93\xB7").repeated(64), "", { Message::tooLong } },
    };
    for (const NameCase& c : cases) {
        File file = fileNamed(c.name, c.ext);
        validateFile(file);
        EXPECT_EQ(file.validation.errors, c.errors) << c.label;
        EXPECT_TRUE(file.validation.warnings.isEmpty()) << c.label;
    }
}

TEST_F(FileValidationUtilTest, FolderRulesAndFoldersWithoutName)
{
    File folder(QUrl::fromLocalFile(mkdir(QStringLiteral("folder"))), false);
    validateFile(folder);
    EXPECT_TRUE(folder.validation.errors.isEmpty()) << "a folder has no name of its own, so it is never empty";

    folder.transformed.transformedPath = path(QStringLiteral("folder/../escape"));
    validateFile(folder);
    EXPECT_TRUE(folder.validation.errors.contains(QStringLiteral("Folder name is not allowed to be two dots (\"..\")")));

    File outside = fileNamed(QStringLiteral("a"), QStringLiteral("txt"));
    outside.transformed.transformedPath = QStringLiteral("/etc/brackenfold");
    validateFile(outside);
    ASSERT_EQ(outside.validation.errors.size(), 1);
    EXPECT_TRUE(outside.validation.errors.begin()->startsWith(QStringLiteral("Path should start with")));
}

TEST_F(FileValidationUtilTest, ValidationStartsFromCleanVerdicts)
{
    File file = fileNamed(QString(), QStringLiteral("txt"));
    file.validation.insertWarning(QStringLiteral("old"));
    validateFile(file);
    file.transformed.transformedName = QStringLiteral("fine");
    validateFile(file);
    EXPECT_TRUE(file.validation.errors.isEmpty());
    EXPECT_TRUE(file.validation.warnings.isEmpty());
}

TEST_F(FileValidationUtilTest, DuplicatesGetCountersInListOrder)
{
    QList<File> files = moves({ { "1.txt", "a.txt" }, { "2.txt", "a.txt" }, { "3.txt", "a.txt" } });
    validateFiles(files);
    validateUniquenessInterruptable(files);
    EXPECT_EQ(files[0].transformed.uniqueSuffix, QString());
    EXPECT_TRUE(files[0].validation.warnings.isEmpty());
    EXPECT_EQ(files[1].transformed.uniqueSuffix, QStringLiteral(" 2"));
    EXPECT_EQ(files[1].validation.warnings, QSet<QString> { QStringLiteral("Filename is not unique. A numeric suffix '2' has been added.") });
    EXPECT_EQ(files[2].transformed.uniqueSuffix, QStringLiteral(" 3"));
    EXPECT_EQ(files[2].transformed.transformedFullPath(), path(QStringLiteral("dir/a 3.txt")));

    // A clash of many files: each counted file says its own counter, and the
    // first and an unclashed one say nothing.
    QList<std::pair<QString, QString>> many;
    for (int i = 0; i < 1500; ++i)
        many.append({ QStringLiteral("m%1.txt").arg(i), QStringLiteral("same.txt") });
    many.append({ QStringLiteral("alone.txt"), QStringLiteral("other.txt") });
    files = moves(many);
    validateFiles(files);
    validateUniquenessInterruptable(files);
    EXPECT_TRUE(files[0].validation.warnings.isEmpty());
    EXPECT_TRUE(files.last().validation.warnings.isEmpty());
    for (qsizetype i = 1; i < 1500; ++i) {
        const QString counter = QString::number(i + 1);
        ASSERT_EQ(files[i].transformed.uniqueSuffix, QLatin1Char(' ') + counter) << i;
        ASSERT_EQ(files[i].validation.warnings,
            QSet<QString> { QStringLiteral("Filename is not unique. A numeric suffix '%1' has been added.").arg(counter) })
            << i;
    }
}

TEST_F(FileValidationUtilTest, WithoutCountersOnlyTheFirstFileKeepsTheName)
{
    setPreference(PreferenceKey::autoResolveDuplicates, false);
    QList<File> files = moves({ { "1.txt", "a.txt" }, { "2.txt", "a.txt" }, { "3.txt", "a.txt" } });
    validateFiles(files);
    validateUniquenessInterruptable(files);
    EXPECT_TRUE(files[0].validation.errors.isEmpty());
    for (qsizetype i = 1; i < files.size(); ++i) {
        EXPECT_EQ(files[i].validation.errors, QSet<QString> { Message::notUnique }) << i;
        EXPECT_EQ(files[i].transformed.uniqueSuffix, QString()) << i;
    }
    const FileValidationResult totals = countFiles(files);
    EXPECT_EQ(totals.errorCount, 2);
    EXPECT_EQ(totals.renameCount, 1);
}

// A list checked again, as the store holds it after an earlier check: the
// counters are looked for afresh, so one whose clash has gone goes too.
TEST_F(FileValidationUtilTest, ACheckAgainLooksForCountersAfresh)
{
    QList<File> files = moves({ { "1.txt", "a.txt" }, { "2.txt", "a.txt" } });
    validateFiles(files);
    validateUniquenessInterruptable(files);
    ASSERT_EQ(files[1].transformed.uniqueSuffix, QStringLiteral(" 2"));
    files[0].transformed.transformedName = QStringLiteral("z");
    validateFiles(files);
    validateUniquenessInterruptable(files);
    EXPECT_EQ(files[1].transformed.transformedFullPath(), path(QStringLiteral("dir/a.txt")));
    EXPECT_TRUE(files[1].validation.warnings.isEmpty());
}

// A file that cannot go where it wants stays where it is, so its place is
// taken: a file that wanted that place gives way too, whether it comes before
// or after it in the list, and so on down a chain.
TEST_F(FileValidationUtilTest, AFileThatStaysKeepsItsPlace)
{
    const QString longName = QString(254, QLatin1Char('n')); // with " 2": too long
    struct Case {
        const char* label;
        bool autoResolve;
        QList<std::pair<QString, QString>> moves;
        QList<QSet<QString>> errors;
        QStringList names; // where each file is shown
    };
    const QSet<QString> none;
    const Case cases[] = {
        { "no counters, onto an item on disk, the file that stays comes second", false,
            { { "a.txt", "b.txt" }, { "b.txt", "c.txt" } }, { { Message::notUnique }, { Message::alreadyExists } },
            { "b.txt", "c.txt" } },
        { "no counters, the file that stays comes first", false,
            { { "b.txt", "c.txt" }, { "a.txt", "b.txt" } }, { { Message::alreadyExists }, { Message::notUnique } },
            { "c.txt", "b.txt" } },
        { "no counters, a chain of three", false,
            { { "a.txt", "b.txt" }, { "x.txt", "a.txt" }, { "b.txt", "c.txt" } },
            { { Message::notUnique }, { Message::notUnique }, { Message::alreadyExists } }, { "b.txt", "a.txt", "c.txt" } },
        { "counters, onto an item on disk", true,
            { { "a.txt", "b.txt" }, { "b.txt", "c.txt" } }, { none, none }, { "b.txt", "c 2.txt" } },
        { "counters, a counter too long for the name", true,
            { { "y.txt", "x.txt" }, { "1.txt", longName }, { "x.txt", longName } },
            { none, none, { Message::tooLong } }, { "x 2.txt", longName, longName + " 2" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        setPreference(PreferenceKey::autoResolveDuplicates, c.autoResolve);
        touch(QStringLiteral("dir/c.txt"), "unlisted");
        QList<File> files = moves(c.moves);
        validateFiles(files);
        validateUniquenessInterruptable(files);
        for (qsizetype i = 0; i < files.size(); ++i) {
            EXPECT_EQ(files[i].validation.errors, c.errors[i]) << i;
            EXPECT_EQ(files[i].transformed.transformedFullPath(), path(QStringLiteral("dir/") + c.names[i])) << i;
            // A file that looked again says only the counter it has now.
            const QString& suffix = files[i].transformed.uniqueSuffix;
            EXPECT_EQ(files[i].validation.warnings,
                suffix.isEmpty() ? QSet<QString>() : QSet<QString> { Message::suffixAdded(suffix) }) << i;
        }
        QDir(path(QStringLiteral("dir"))).removeRecursively();
    }
}

// Names no rule changed are the disk's own: never an error, however odd; the
// same checks still hold for a name a rule made.
TEST_F(FileValidationUtilTest, UnchangedNamesAreNeverErrors)
{
    for (const QString& name : { QStringLiteral("..two_dots"), QStringLiteral("..."), QStringLiteral(" "), QStringLiteral("line\nfeed.txt") }) {
        File file(QUrl::fromLocalFile(touch(name)), false);
        validateFile(file);
        EXPECT_TRUE(file.validation.errors.isEmpty()) << name.toStdString();
        file.transformed.transformedName = file.transformed.transformedName.value() + QStringLiteral("\n.");
        validateFile(file);
        EXPECT_FALSE(file.validation.errors.isEmpty()) << name.toStdString();
    }
}

// Counters carry on from the last clash of the same name, yet never skip one
// that is free: a counter another file wants outright, or one an unlisted item
// holds on disk, is passed over; other names count on their own.
TEST_F(FileValidationUtilTest, CountersOfInterleavedClashes)
{
    touch(QStringLiteral("dir/a 3.txt"), "unlisted");
    QList<File> files = moves({ { "1.txt", "a.txt" }, { "2.txt", "a.txt" }, { "3.txt", "a 2.txt" }, { "4.txt", "a.txt" },
        { "5.txt", "b.txt" }, { "6.txt", "b.txt" }, { "7.txt", "a.txt" }, { "8.txt", "a 6.txt" }, { "9.txt", "a.txt" } });
    validateFiles(files);
    validateUniquenessInterruptable(files);
    const QStringList expected { "a.txt", "a 2.txt", "a 2 2.txt", "a 4.txt", "b.txt", "b 2.txt", "a 5.txt", "a 6.txt", "a 7.txt" };
    for (qsizetype i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i].transformed.transformedFullPath(), path(QStringLiteral("dir/") + expected[i])) << i;
}

TEST_F(FileValidationUtilTest, APathThatStaysIsTakenAndTheMoverGivesWay)
{
    for (const bool autoResolve : { true, false }) {
        setPreference(PreferenceKey::autoResolveDuplicates, autoResolve);
        touch(QStringLiteral("dir/a.txt"));
        QList<File> files = moves({ { "b.txt", "a.txt" } });
        files.prepend(fileTo(QStringLiteral("dir/a.txt"), QStringLiteral("dir/a.txt")));
        validateFiles(files);
        validateUniquenessInterruptable(files);
        EXPECT_TRUE(files[0].validation.warnings.isEmpty());
        if (autoResolve) {
            EXPECT_EQ(files[1].transformed.uniqueSuffix, QStringLiteral(" 2"));
        } else {
            EXPECT_EQ(files[1].transformed.uniqueSuffix, QString());
            EXPECT_EQ(files[1].validation.errors, QSet<QString> { Message::notUnique }) << "the run would refuse it";
            const FileValidationResult totals = countFiles(files);
            EXPECT_EQ(totals.errorCount, 1);
            EXPECT_EQ(totals.renameCount, 0);
        }
    }
}

TEST_F(FileValidationUtilTest, SwapsAndCaseVariantsAreNoDuplicates)
{
    QList<File> files = moves({ { "a.txt", "b.txt" }, { "b.txt", "a.txt" }, { "c.txt", "X.txt" }, { "d.txt", "x.txt" } });
    validateFiles(files);
    validateUniquenessInterruptable(files);
    for (const File& file : files) {
        EXPECT_TRUE(file.validation.warnings.isEmpty()) << file.transformed.transformedFullPath().toStdString();
        EXPECT_EQ(file.transformed.uniqueSuffix, QString());
    }
}

TEST_F(FileValidationUtilTest, ACounterThatMakesTheNameTooLongIsAnError)
{
    const QString longName = QString(254, QLatin1Char('n')); // with " 2": 256
    QList<File> files = moves({ { "1.txt", longName }, { "2.txt", longName } });
    validateFiles(files);
    EXPECT_TRUE(files[1].validation.errors.isEmpty());
    validateUniquenessInterruptable(files);
    EXPECT_EQ(files[1].transformed.uniqueSuffix, QStringLiteral(" 2"));
    EXPECT_TRUE(files[1].validation.errors.contains(Message::tooLong));
}

TEST_F(FileValidationUtilTest, AFolderWithACounterIsLengthCheckedToo)
{
    const QString longName = QString(254, QLatin1Char('n')); // with " 2": 256 bytes
    mkdir(QStringLiteral("dir/one"));
    mkdir(QStringLiteral("dir/two"));
    QList<File> files { fileTo(QStringLiteral("dir/one"), QStringLiteral("dir/") + longName),
        fileTo(QStringLiteral("dir/two"), QStringLiteral("dir/") + longName) };
    validateFiles(files);
    validateUniquenessInterruptable(files);
    EXPECT_EQ(files[1].transformed.uniqueSuffix, QStringLiteral(" 2"));
    EXPECT_TRUE(files[1].validation.errors.contains(Message::tooLong));
}

// The preview shows the name the rename will use: an item on disk that stays
// takes its name, one that leaves in this run does not. A folder that many
// files move into is read at once instead of asked name by name: the same
// answers either way.
TEST_F(FileValidationUtilTest, TargetsTakenOnDisk)
{
    struct Case {
        const char* label;
        bool autoResolve;
        int others; // further files moving into the folder
        QString suffix;
        QSet<QString> errors;
    };
    const Case cases[] = {
        { "counter", true, 0, QStringLiteral(" 3"), {} }, // "b 2.txt" is taken too
        { "no counters", false, 0, QString(), { Message::alreadyExists } },
        { "counter, crowded folder", true, 60, QStringLiteral(" 3"), {} },
        { "no counters, crowded folder", false, 60, QString(), { Message::alreadyExists } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        setPreference(PreferenceKey::autoResolveDuplicates, c.autoResolve);
        touch(QStringLiteral("dir/b.txt"), "unlisted");
        touch(QStringLiteral("dir/b 2.txt"), "unlisted");
        ASSERT_EQ(::symlink("nowhere", QFile::encodeName(path(QStringLiteral("dir/dangling.txt"))).constData()), 0);
        // a takes b, which is unlisted; x takes y, which leaves; z takes a dangling link.
        QList<File> files = moves({ { "a.txt", "b.txt" }, { "x.txt", "y.txt" }, { "y.txt", "w.txt" }, { "z.txt", "dangling.txt" } });
        for (int i = 0; i < c.others; ++i)
            files << moves({ { QStringLiteral("o%1.txt").arg(i), QStringLiteral("p%1.txt").arg(i) } });
        validateFiles(files);
        validateUniquenessInterruptable(files);
        for (qsizetype i = 4; i < files.size(); ++i)
            ASSERT_TRUE(files[i].validation.warnings.isEmpty() && files[i].validation.errors.isEmpty());
        EXPECT_EQ(files[0].transformed.uniqueSuffix, c.suffix);
        EXPECT_EQ(files[0].validation.errors, c.errors);
        EXPECT_EQ(files[1].transformed.uniqueSuffix, QString()) << "a name freed by the run is free";
        EXPECT_TRUE(files[1].validation.errors.isEmpty());
        EXPECT_FALSE(files[3].transformed.uniqueSuffix.isEmpty() && files[3].validation.errors.isEmpty())
            << "a dangling link takes its name";
        QDir(path(QStringLiteral("dir"))).removeRecursively();
    }
}

// The preview shows the name the disk will take. What is found under another
// spelling is the file itself only where the folder folds case, which the
// folder answers (looked up here through staged answers); the inode cannot
// tell: a hard link shares it, and some file systems give each spelling its own.
TEST_F(FileValidationUtilTest, TheFileItselfUnderAnotherSpellingAndOtherItemsOnDisk)
{
    const auto hardLink = [this](const char* from, const char* to) {
        ASSERT_EQ(::link(QFile::encodeName(path(QString::fromLatin1(from))).constData(),
                      QFile::encodeName(path(QString::fromLatin1(to))).constData()),
            0);
    };
    // A folder that folds: any other spelling of a listed name is found.
    const CaseFolding::Lookups folding { [](const QString&, const QString&) { return true; },
        [](const QString&) { return std::optional(QStringList { QStringLiteral("x.txt") }); } };
    struct Case {
        const char* label;
        std::function<void()> disk;
        bool folds;
        QList<std::pair<QString, QString>> moves;
        QStringList expected; // the names the moves get, in order
    };
    const Case cases[] = {
        { "a hard link under another name is an item of its own", [&] { hardLink("dir/h1.txt", "dir/h2.txt"); }, false,
            { { "h1.txt", "h2.txt" } }, { "h2 2.txt" } },
        { "case only, one inode for both spellings, folding folder", [&] { hardLink("dir/abc.txt", "dir/ABC.txt"); }, true,
            { { "abc.txt", "ABC.txt" } }, { "ABC.txt" } },
        { "case only, each spelling its own inode, folding folder", [&] { touch(QStringLiteral("dir/ABC.txt")); }, true,
            { { "abc.txt", "ABC.txt" } }, { "ABC.txt" } },
        { "case only onto a hard link, folder that does not fold", [&] { hardLink("dir/abc.txt", "dir/ABC.txt"); }, false,
            { { "abc.txt", "ABC.txt" } }, { "ABC 2.txt" } },
        { "two targets that differ in case only, folding folder", {}, true,
            { { "x.txt", "A.txt" }, { "y.txt", "a.txt" }, { "z.txt", "A 2.TXT" } }, { "A.txt", "a 2.txt", "A 2 2.TXT" } },
        { "two targets that differ in case only, folder that does not fold", {}, false,
            { { "x.txt", "A.txt" }, { "y.txt", "a.txt" } }, { "A.txt", "a.txt" } },
        // The Kelvin sign folds to an ASCII "k": a name of its own kind meets a plain one.
        { "a plain name and one that folds to it, folding folder", {}, true,
            { { "x.txt", "K.txt" }, { "y.txt", QString::fromUtf8("\u212A.txt") } }, { "K.txt", QString::fromUtf8("\u212A 2.txt") } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const auto& [from, to] : c.moves)
            touch(QStringLiteral("dir/") + from);
        if (c.disk)
            c.disk();
        QList<std::pair<QString, QString>> moved;
        for (const auto& [from, to] : c.moves)
            moved << std::pair { from, to };
        QList<File> files = moves(moved);
        std::optional<CaseFolding::ScopedLookups> staged;
        if (c.folds)
            staged.emplace(folding);
        validateFiles(files);
        validateUniquenessInterruptable(files);
        for (qsizetype i = 0; i < files.size(); ++i) {
            EXPECT_EQ(files[i].transformed.transformedFullPath(), path(QStringLiteral("dir/") + c.expected[i])) << i;
            EXPECT_TRUE(files[i].validation.errors.isEmpty());
        }
        QDir(path(QStringLiteral("dir"))).removeRecursively();
    }
}

// A hard link at the target: the run lands where the preview said.
TEST_F(FileValidationUtilTest, AHardLinkAtTheTargetGivesTheRunsName)
{
    touch(QStringLiteral("dir/h1.txt"), "h");
    ASSERT_EQ(::link(QFile::encodeName(path(QStringLiteral("dir/h1.txt"))).constData(),
                  QFile::encodeName(path(QStringLiteral("dir/h2.txt"))).constData()),
        0);
    QList<File> files { fileTo(QStringLiteral("dir/h1.txt"), QStringLiteral("dir/h2.txt")) };
    validateFiles(files);
    validateUniquenessInterruptable(files);
    const QString previewed = files[0].transformed.transformedFullPath();
    const RenameContext result = TransformationUtil::renameFiles(RenameContext::make(files));
    EXPECT_EQ(result.totalSuccess, 1);
    EXPECT_EQ(result.files[0].source.fileInfo.fullPath, previewed);
    EXPECT_EQ(previewed, path(QStringLiteral("dir/h2 2.txt")));
}

// A folder the run cannot write into is refused in the preview, with the
// words the run would stop with: the folder itself, or the folder in which
// a missing one would have to be made.
TEST_F(FileValidationUtilTest, AFolderTheRunCannotWriteIsRefusedAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    touch(QStringLiteral("locked/a"));
    touch(QStringLiteral("open/c"));
    touch(QStringLiteral("open/e"));
    const QList<File> listed { fileTo(QStringLiteral("locked/a"), QStringLiteral("locked/b")),
        fileTo(QStringLiteral("open/c"), QStringLiteral("locked/new/d")), fileTo(QStringLiteral("open/e"), QStringLiteral("open/f")) };
    const QByteArray locked = QFile::encodeName(path(QStringLiteral("locked")));
    ::chmod(locked.constData(), 0555);
    QList<File> files = listed;
    validateFiles(files);
    validateUniquenessInterruptable(files);
    QStringList runErrors;
    for (qsizetype i = 0; i < 2; ++i) {
        const RenameContext run = TransformationUtil::renameFiles(RenameContext::make({ listed[i] }));
        runErrors << (run.errorDetails ? run.errorDetails->error.message : QStringLiteral("renamed"));
    }
    ::chmod(locked.constData(), 0755);
    EXPECT_EQ(runErrors[0], QStringLiteral("move \"%1\": %2").arg(path(QStringLiteral("locked/b")), QString::fromLocal8Bit(std::strerror(EACCES))));
    EXPECT_EQ(files[0].validation.errors, QSet<QString> { runErrors[0] });
    EXPECT_EQ(files[1].validation.errors, QSet<QString> { runErrors[1] });
    EXPECT_TRUE(runErrors[1].startsWith(QStringLiteral("create folder")));
    EXPECT_TRUE(files[2].validation.errors.isEmpty());
}

TEST_F(FileValidationUtilTest, ChangedOnlyWhereTheNameOnDiskDiffers)
{
    const QString composed = QStringLiteral("caf") + QChar(0x00E9);
    const QString decomposed = QStringLiteral("cafe") + QChar(0x0301);
    const QString folder = path(composed);
    const struct { const char* label; std::function<void(FileTransform&)> change; bool changed; } cases[] = {
        { "untouched", [](FileTransform&) {}, false },
        { "the same folder, a copy of its own", [&](FileTransform& t) { t.transformedPath = QString(folder.constData(), folder.size()); }, false },
        { "the folder in another normal form", [&](FileTransform& t) { t.transformedPath = path(decomposed); }, false },
        { "another folder", [&](FileTransform& t) { t.transformedPath = path(QStringLiteral("other")); }, true },
        { "a change of case", [](FileTransform& t) { t.transformedName = QStringLiteral("Original"); }, true },
        { "another extension", [](FileTransform& t) { t.transformedExt = QStringLiteral("md"); }, true },
    };
    const QString original = touch(composed + QStringLiteral("/original.txt"));
    for (const auto& c : cases) {
        File file(QUrl::fromLocalFile(original), false);
        c.change(file.transformed);
        EXPECT_EQ(isChanged(file), c.changed) << c.label;
    }
}

TEST_F(FileValidationUtilTest, CountsOfAList)
{
    EXPECT_EQ(description(countFiles({})), QStringLiteral("FileValidationResult: errorCount: 0 , renameCount: 0 , totalCount: 0"));
    touch(QStringLiteral("dir/same.txt"));
    QList<File> files = moves({ { "1.txt", "one.txt" }, { "2.txt", "two.txt" } });
    files[1].transformed.transformedName = QString();
    files << fileTo(QStringLiteral("dir/same.txt"), QStringLiteral("dir/same.txt"));
    validateFiles(files);
    const FileValidationResult result = countFiles(files);
    EXPECT_EQ(result.errorCount, 1);
    EXPECT_EQ(result.renameCount, 1);
    EXPECT_EQ(result.totalCount, 3);
}
