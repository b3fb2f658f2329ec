// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "engine/DiskMove.h"
#include "engine/FileValidationUtil.h"
#include "files/ExtendedFileInfo.h"
#include "engine/TransformationUtil.h"

#include <QJsonArray>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A folder bound onto itself and made read-only while this lives (root only).
class ReadOnlyBind {
public:
    explicit ReadOnlyBind(const QString& folder)
        : m_folder(QFile::encodeName(folder))
    {
        if (::geteuid() != 0) {
            why = QStringLiteral("not root: mounts need root");
            return;
        }
        if (::mount(m_folder.constData(), m_folder.constData(), nullptr, MS_BIND, nullptr) != 0) {
            why = QStringLiteral("bind mount refused: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_bound = true;
    }
    ~ReadOnlyBind()
    {
        if (m_bound && ::umount2(m_folder.constData(), 0) != 0)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    ReadOnlyBind(const ReadOnlyBind&) = delete;
    ReadOnlyBind& operator=(const ReadOnlyBind&) = delete;

    bool isBound() const { return m_bound; }
    bool makeReadOnly()
    {
        return ::mount(nullptr, m_folder.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    QString why;

private:
    QByteArray m_folder;
    bool m_bound = false;
};

// A file that may not be changed, moved or removed while this lives (root
// only, on a file system that keeps the flag).
class Immutable {
public:
    explicit Immutable(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        if (::geteuid() != 0) {
            why = QStringLiteral("not root: only root makes a file immutable");
            return;
        }
        if (m_fd < 0 || ::ioctl(m_fd, FS_IOC_GETFLAGS, &m_flags) != 0) {
            why = QStringLiteral("the file system keeps no file flags: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        int flags = m_flags | FS_IMMUTABLE_FL;
        if (::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) != 0) {
            why = QStringLiteral("the file system refuses the immutable flag: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_set = true;
    }
    ~Immutable()
    {
        if (m_set)
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool isSet() const { return m_set; }
    QString why;

private:
    int m_fd;
    int m_flags = 0;
    bool m_set = false;
};

} // namespace

class RenameRefusalTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        setPreference(PreferenceKey::autoResolveDuplicates, true);
    }

    // What the run said at its end, "title|text" a line.
    std::string partialCompletionTexts() const
    {
        QStringList texts;
        for (const auto& [message, informative] : delegate->partialCompletions)
            texts << message + QLatin1Char('|') + informative;
        return texts.join(QLatin1Char('\n')).toStdString();
    }
    // The row's errors, sorted, one a line.
    static std::string errorsOf(const File& file)
    {
        QStringList errors(file.validation.errors.cbegin(), file.validation.errors.cend());
        errors.sort();
        return errors.join(QLatin1Char('\n')).toStdString();
    }
};

// The folder became read-only after the preview: the run's own check finds
// that out before any move, so no question comes, every row says why, and the
// run says that nothing was renamed.
TEST_F(RenameRefusalTest, AFolderMadeReadOnlyAfterThePreviewRenamesNothingAndSaysWhy)
{
    mkdir(QStringLiteral("card"));
    listFiles({ QStringLiteral("card/a.txt"), QStringLiteral("card/b.txt"), QStringLiteral("card/c.txt") });
    setRules({ prefixRule(QStringLiteral("A_")) });
    TestEnvironment::drainEvents();
    ReadOnlyBind bind(path(QStringLiteral("card")));
    if (!bind.isBound())
        GTEST_SKIP() << bind.why.toStdString();
    runPreview();
    ASSERT_EQ(newNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt"), QStringLiteral("A_c.txt") }));
    ASSERT_TRUE(bind.makeReadOnly());
    runRename();

    EXPECT_EQ(QDir(path(QStringLiteral("card"))).entryList(QDir::Files),
        QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt") }));
    EXPECT_TRUE(delegate->questions.empty());
    for (const File& file : fileDataSource->getAllFiles()) {
        EXPECT_NE(errorsOf(file).find("Read-only file system"), std::string::npos) << errorsOf(file);
        EXPECT_EQ(file.validation.errors.size(), 1) << errorsOf(file);
    }
    EXPECT_EQ(partialCompletionTexts(), "No Files Renamed|None of the 3 files could be renamed; their rows in the list say why.");
}

// The user stops the run at the first failure: the files never tried say so.
TEST_F(RenameRefusalTest, FilesNotTriedAfterAnAbortSaySo)
{
    const QString notTried = QStringLiteral("Not renamed: the run was stopped before this file.");
    struct Case {
        const char* how;
        RenameRunDelegate::AbortResponse answer;
        bool abortButtonWhileAsked;
        QStringList names;
        QString errorsOfB;
        QString summary;
    };
    const Case cases[] = {
        { "Abort in the question", RenameRunDelegate::AbortResponse::abortRenaming(), false,
            { "a.txt", "b.txt", "c.txt" }, notTried,
            "No Files Renamed|None of the 3 files could be renamed; their rows in the list say why." },
        // Continue renames the next file before the run sees the abort button.
        { "the abort button while asked, then Continue", RenameRunDelegate::AbortResponse::continueRenaming(false), true,
            { "a.txt", "A_b.txt", "c.txt" }, {},
            "Rename Partially Completed|Successfully renamed 1 files.\n2 files could not be renamed." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        for (const QString& name : entries())
            QFile::remove(path(name));
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt") });
        setRules({ prefixRule(QStringLiteral("A_")) });
        TestEnvironment::drainEvents();
        delegate->partialCompletions.clear();
        delegate->questions.clear();
        std::stop_source stop;
        delegate->onAsk = [&](const RenameRunDelegate::Question&) {
            if (c.abortButtonWhileAsked)
                stop.request_stop();
        };
        delegate->answers = { c.answer };
        afterValidation([&] { QFile::remove(path(QStringLiteral("a.txt"))); });
        runRename(stop);
        NotificationCenter::defaultCenter().removeObserver(&observer);
        touch(QStringLiteral("a.txt"));

        ASSERT_EQ(delegate->questions.size(), 1u);
        EXPECT_EQ(storedNames().join(QLatin1Char(' ')).toStdString(), c.names.join(QLatin1Char(' ')).toStdString());
        const QList<File> files = fileDataSource->getAllFiles();
        EXPECT_EQ(errorsOf(files[0]), delegate->questions[0].error.message.toStdString());
        EXPECT_EQ(errorsOf(files[1]), c.errorsOfB.toStdString());
        EXPECT_EQ(errorsOf(files[2]), notTried.toStdString());
        EXPECT_EQ(partialCompletionTexts(), c.summary.toStdString());
    }
}

// a.txt → b.txt → c.txt → a.txt, and b.txt may not move: the cycle cannot
// close, so every file stays where it was and every row says why, whether
// the user stops there or goes on.
TEST_F(RenameRefusalTest, ACycleWithAFileThatCannotMoveLeavesEveryFileInPlaceAndSaysWhy)
{
    touch(QStringLiteral("keep"));
    for (const QString name : { "a.txt", "b.txt", "c.txt" })
        touch(name, name.toUtf8());
    Immutable locked(path(QStringLiteral("b.txt")));
    if (!locked.isSet())
        GTEST_SKIP() << locked.why.toStdString();
    const QString inCycle = QStringLiteral("Not renamed: this file is in a cycle of renames with \"b.txt\", which could not move.");
    for (const bool goOn : { false, true }) {
        SCOPED_TRACE(goOn ? "Continue" : "Abort");
        const QList<File> files { fileTo(QStringLiteral("a.txt"), QStringLiteral("b.txt")),
            fileTo(QStringLiteral("b.txt"), QStringLiteral("c.txt")), fileTo(QStringLiteral("c.txt"), QStringLiteral("a.txt")) };
        RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files));
        ASSERT_EQ(context.status, RenameContext::Status::error);
        if (goOn)
            context = TransformationUtil::renameFiles(context);
        else
            TransformationUtil::noteFilesNotTried(context);

        EXPECT_EQ(entries(), QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"), QStringLiteral("keep") }));
        for (const QString name : { "a.txt", "b.txt", "c.txt" })
            EXPECT_EQ(content(name), name.toUtf8());
        EXPECT_EQ(context.totalSuccess, 0);
        ASSERT_EQ(context.files.size(), 3);
        for (const File& file : std::as_const(context.files)) {
            const QString name = file.source.fileInfo.name + file.source.extSuffix();
            SCOPED_TRACE(name.toStdString());
            ASSERT_EQ(file.validation.errors.size(), 1) << errorsOf(file);
            if (name == QLatin1String("b.txt"))
                EXPECT_NE(errorsOf(file).find("Operation not permitted"), std::string::npos) << errorsOf(file);
            else
                EXPECT_EQ(errorsOf(file), inCycle.toStdString());
        }
    }
}

// What the disk will refuse is known before the run: a 3-cycle a.txt → b.txt
// → c.txt → a.txt through another file system, and one whose waiting file
// finds every temporary name taken, are refused in the preview, and the run
// then gets what the preview showed.
class CycleRefusalTest : public RenameRefusalTest {
protected:
    // Validates the cycle with b.txt at `b` and the first `takenParkingNames`
    // temporary names of a.txt taken, checks the rows' errors (of a, b and c),
    // then renames what passed.
    void expectPreviewAndRun(const QString& b, int takenParkingNames, const QStringList& errors)
    {
        for (const QString& name : entries())
            QFile::remove(path(name));
        touch(QStringLiteral("keep"));
        touch(QStringLiteral("a.txt"), "a");
        touch(QStringLiteral("c.txt"), "c");
        QFile file(b);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("b");
        file.close();
        for (int attempt = 1; attempt <= takenParkingNames; ++attempt)
            touch(QStringLiteral("a (renaming%1).txt").arg(attempt == 1 ? QString() : QStringLiteral(" %1").arg(attempt)), "taken");
        QList<File> files { File(QUrl::fromLocalFile(path(QStringLiteral("a.txt"))), false), File(QUrl::fromLocalFile(b), false),
            File(QUrl::fromLocalFile(path(QStringLiteral("c.txt"))), false) };
        files[0].transformed.setTransformedFullPath(b);
        files[1].transformed.setTransformedFullPath(path(QStringLiteral("c.txt")));
        files[2].transformed.setTransformedFullPath(path(QStringLiteral("a.txt")));
        FileValidationUtil::validateFiles(files);
        FileValidationUtil::validateUniquenessInterruptable(files);
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(errorsOf(files[i]), errors[i].toStdString()) << i;

        QList<File> toRename = files;
        toRename.removeIf([](const File& file) { return !file.validation.errors.isEmpty(); });
        const RenameContext context = TransformationUtil::renameFiles(RenameContext::make(toRename));
        EXPECT_EQ(context.status, RenameContext::Status::done);
        EXPECT_EQ(context.totalErrors, 0);
        const bool moved = errors[0].isEmpty();
        EXPECT_EQ(content(QStringLiteral("a.txt")), QByteArray(moved ? "c" : "a"));
        EXPECT_EQ(content(QStringLiteral("c.txt")), QByteArray(moved ? "b" : "c"));
        EXPECT_EQ(entries().filter(QStringLiteral(" 2.txt")), QStringList()) << "no counted name";
        QFile::remove(b);
    }

    const QString waitsForA = QStringLiteral("Not renamed: this file is in a cycle of renames with \"a.txt\", which cannot move.");
};

TEST_F(CycleRefusalTest, ACycleThroughAnotherFileSystemIsRefusedInThePreview)
{
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/brackenfold-test-XXXXXX"));
    if (!elsewhere.isValid() || ExtendedFileInfo::deviceKeyOf(elsewhere.path()) == ExtendedFileInfo::deviceKeyOf(root.path()))
        GTEST_SKIP() << "/dev/shm is missing or on the test folder's file system";
    // Files may be renamed there too.
    store->setValue(PreferenceKey::customDirectories.rawValue, QJsonArray { elsewhere.path() });
    const QString crossing = QStringLiteral("Not renamed: the new place is on another file system, and renaming cannot move a file there.");
    expectPreviewAndRun(elsewhere.path() + QStringLiteral("/b.txt"), 0, { crossing, crossing, waitsForA });
}

TEST_F(CycleRefusalTest, ACycleWhoseWaitingFileFindsEveryTemporaryNameTakenIsRefusedInThePreview)
{
    const QString noParking = QStringLiteral(
        "Not renamed: in its cycle of renames this file has to wait under a temporary name, and \"a (renaming).txt\" to \"a (renaming 100).txt\" are all taken.");
    {
        SCOPED_TRACE("all taken");
        expectPreviewAndRun(path(QStringLiteral("b.txt")), 100, { noParking, waitsForA, waitsForA });
    }
    {
        SCOPED_TRACE("one free");
        expectPreviewAndRun(path(QStringLiteral("b.txt")), 99, { {}, {}, {} });
    }
}
