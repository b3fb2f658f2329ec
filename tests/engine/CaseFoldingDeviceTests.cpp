// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "core/String+path.h"
#include "engine/CaseFolding.h"
#include "engine/DiskMove.h"

#include <QMutex>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Answers as exFAT through FUSE does, over a folder of a file system that
// keeps spellings apart. Every spelling of an entry's name is found, each
// under an inode of its own, and stays found after the entry left until a
// lookup that creates (a rename's target, O_EXCL) asks the folder again.
// RENAME_NOREPLACE answers EEXIST where the name is found and EINVAL (the
// flag is refused) where it is free; there are no hard links and no
// exchange; a plain rename onto another spelling of the entry changes its
// case; the listing shows the entries' own spellings only.
class FoldingFolderStage {
public:
    explicit FoldingFolderStage(QString folder)
        : m_folder(std::move(folder))
        , m_system(DiskMove::systemCalls())
        , m_calls(stagedCalls())
        , m_lookups({ [this](const QString& folder, const QString& name) {
                         struct statx status {};
                         return look(folder + QLatin1Char('/') + name, status) == 0;
                     },
              {} })
    {
    }

private:
    bool isStaged(const QString& path) const
    {
        return path.startsWith(m_folder + QLatin1Char('/')) && path.indexOf(QLatin1Char('/'), m_folder.size() + 1) < 0;
    }

    // The entry of the folder whose name folds as the path's does; empty when none.
    QString entryFor(const QString& path) const
    {
        const QString wanted = CaseFolding::folded(path.mid(m_folder.size() + 1));
        for (const QString& name : QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            if (CaseFolding::folded(name) == wanted)
                return m_folder + QLatin1Char('/') + name;
        }
        return {};
    }

    int look(const QString& path, struct statx& status)
    {
        if (const int real = m_system.look(path, status); real == 0 || !isStaged(path))
            return real;
        QMutexLocker lock(&m_mutex);
        const QString entry = entryFor(path);
        if (!entry.isEmpty()) {
            if (const int error = m_system.look(entry, status); error != 0)
                return error;
            auto found = m_found.find(path);
            if (found == m_found.end())
                found = m_found.insert(path, { status, m_nextInode++ });
            found->status = status;
            status.stx_ino = found->inode;
            return 0;
        }
        // Found before: the lookup still answers from then.
        const auto stale = m_found.constFind(path);
        if (stale == m_found.cend())
            return ENOENT;
        status = stale->status;
        status.stx_ino = stale->inode;
        return 0;
    }

    // A lookup that creates asks the folder again.
    void forget(const QString& path)
    {
        QMutexLocker lock(&m_mutex);
        m_found.remove(path);
    }

    DiskMove::Calls stagedCalls()
    {
        DiskMove::Calls staged;
        staged.look = [this](const QString& path, struct statx& status) { return look(path, status); };
        staged.rename = [this](const QString& from, const QString& to, unsigned int flags) {
            if (!isStaged(to))
                return m_system.rename(from, to, flags);
            forget(to);
            const QString entry = entryFor(to);
            if (flags & RENAME_EXCHANGE)
                return EINVAL;
            if (flags & RENAME_NOREPLACE)
                return entry.isEmpty() ? EINVAL : EEXIST;
            // The folder replaces the entry that has the name under another spelling.
            if (!entry.isEmpty() && entry != to && entry != from)
                ::unlink(QFile::encodeName(entry).constData());
            return m_system.rename(from, to, 0);
        };
        staged.link = [this](const QString& from, const QString& to) {
            return isStaged(to) ? EPERM : m_system.link(from, to);
        };
        staged.reserve = [this](const QString& path, bool isDirectory, DiskMove::Identity& made) {
            if (!isStaged(path))
                return m_system.reserve(path, isDirectory, made);
            forget(path);
            return entryFor(path).isEmpty() ? m_system.reserve(path, isDirectory, made) : EEXIST;
        };
        return staged;
    }

    struct Found {
        struct statx status;
        quint64 inode;
    };

    const QString m_folder;
    const DiskMove::Calls m_system;
    QMutex m_mutex;
    QHash<QString, Found> m_found;
    quint64 m_nextInode = 1'000'000;
    DiskMove::ScopedCalls m_calls;
    CaseFolding::ScopedLookups m_lookups;
};

// Uppercases the name "abc" of abc.txt and the folder name "Dir".
Transformer uppercaseRule()
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::conversion;
    rule.transformScope = TransformScope::fullPath;
    rule.properties.conversionType = ConversionType::uppercase;
    rule.properties.conversionFindText = QStringLiteral("/abc(?=\\.txt$)|/Dir$");
    rule.properties.conversionFindRegex = true;
    return rule;
}

// Runs a command; answers its output, or none with the reason in `why`.
std::optional<QString> runTool(const QString& program, const QStringList& arguments, QString* why = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (why) {
            *why = QStringLiteral("%1 %2 failed: %3").arg(program, arguments.join(QLatin1Char(' ')),
                QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        }
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// An exFAT image in a file, on a loop device, mounted through FUSE at
// `mountPoint`; unmounted and detached again whatever the test did. `why`
// says what kept it from being made.
class ExfatImage {
public:
    ExfatImage(const QString& image, const QString& mountPoint)
        : m_mountPoint(mountPoint)
    {
        if (::geteuid() != 0) {
            why = QStringLiteral("not root: loop devices and mounts need root");
            return;
        }
        if (::access("/dev/loop-control", F_OK) != 0) {
            why = QStringLiteral("no loop device (/dev/loop-control)");
            return;
        }
        if (::access("/dev/fuse", F_OK) != 0) {
            why = QStringLiteral("no FUSE (/dev/fuse)");
            return;
        }
        for (const char* tool : { "losetup", "mkfs.exfat", "mount.exfat-fuse", "umount" }) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()
                && QStandardPaths::findExecutable(QString::fromLatin1(tool), { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") }).isEmpty()) {
                why = QStringLiteral("%1 is not installed (exfatprogs, exfat-fuse, mount)").arg(QString::fromLatin1(tool));
                return;
            }
        }
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(64 << 20)) {
            why = QStringLiteral("cannot make the image file");
            return;
        }
        file.close();
        if (!runTool(tool("mkfs.exfat"), { image }, &why))
            return;
        const std::optional<QString> device = runTool(tool("losetup"), { QStringLiteral("--find"), QStringLiteral("--show"), image }, &why);
        if (!device)
            return;
        m_device = *device;
        QDir().mkpath(mountPoint);
        if (!runTool(tool("mount.exfat-fuse"), { m_device, mountPoint }, &why))
            return;
        m_mounted = true;
        why.clear();
    }
    ~ExfatImage()
    {
        if (m_mounted && !runTool(tool("umount"), { m_mountPoint }))
            runTool(tool("umount"), { QStringLiteral("-l"), m_mountPoint });
        // Detached once the file system's process lets go of it.
        if (!m_device.isEmpty())
            runTool(tool("losetup"), { QStringLiteral("-d"), m_device });
    }
    ExfatImage(const ExfatImage&) = delete;
    ExfatImage& operator=(const ExfatImage&) = delete;

    bool isMounted() const { return m_mounted; }
    QString why = QStringLiteral("not made");

private:
    static QString tool(const char* name)
    {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        return found.isEmpty() ? QStandardPaths::findExecutable(QString::fromLatin1(name), { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") })
                               : found;
    }

    QString m_mountPoint;
    QString m_device;
    bool m_mounted = false;
};

} // namespace

class CaseFoldingDeviceTest : public EngineRunTest {
protected:
    // Lists abc.txt and the folder Dir in `folder` (relative to the root),
    // uppercases their names through the real run and checks where they landed.
    void expectCaseOnlyRenamesInPlace(const QString& folder)
    {
        touch(folder + QStringLiteral("/abc.txt"), "mine");
        mkdir(folder + QStringLiteral("/Dir"));
        touch(folder + QStringLiteral("/Dir/inside.txt"), "inside");
        listFiles({ folder + QStringLiteral("/abc.txt"), folder + QStringLiteral("/Dir") });
        setRules({ uppercaseRule() });
        TestEnvironment::drainEvents();
        runPreview();
        QStringList previewed;
        for (const File& file : fileDataSource->getAllFiles())
            previewed << String::lastPathComponent(file.transformed.transformedFullPath());
        EXPECT_EQ(previewed.join(QLatin1Char(' ')).toStdString(), "ABC.txt DIR");
        runRename();

        EXPECT_EQ(QDir(path(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name).join(QLatin1Char(' ')).toStdString(),
            "ABC.txt DIR")
            << "no counted name, nothing left parked";
        EXPECT_EQ(content(folder + QStringLiteral("/ABC.txt")), QByteArray("mine"));
        EXPECT_EQ(content(folder + QStringLiteral("/DIR/inside.txt")), QByteArray("inside"));
        QStringList stored;
        for (const File& file : fileDataSource->getAllFiles())
            stored << String::lastPathComponent(file.source.fileInfo.fullPath);
        EXPECT_EQ(stored.join(QLatin1Char(' ')).toStdString(), "ABC.txt DIR");
        for (const File& file : fileDataSource->getAllFiles())
            EXPECT_TRUE(file.validation.warnings.isEmpty() && file.validation.errors.isEmpty())
                << file.source.fileInfo.fullPath.toStdString() << ": "
                << QStringList(file.validation.errors.cbegin(), file.validation.errors.cend()).join(QLatin1Char('|')).toStdString()
                << QStringList(file.validation.warnings.cbegin(), file.validation.warnings.cend()).join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(delegate->questions.empty());
        EXPECT_TRUE(delegate->partialCompletions.empty());
    }
};

TEST_F(CaseFoldingDeviceTest, ACaseOnlyRenameOnAStagedFuseExfatFolderKeepsTheName)
{
    for (const bool autoResolve : { true, false }) {
        SCOPED_TRACE(autoResolve ? "counters on" : "counters off");
        setPreference(PreferenceKey::autoResolveDuplicates, autoResolve);
        const QString folder = autoResolve ? QStringLiteral("on") : QStringLiteral("off");
        mkdir(folder);
        FoldingFolderStage stage(path(folder));
        expectCaseOnlyRenamesInPlace(folder);
    }
}

TEST_F(CaseFoldingDeviceTest, ACaseOnlyRenameOnARealExfatImageKeepsTheName)
{
    ExfatImage image(path(QStringLiteral("card.img")), path(QStringLiteral("card")));
    if (!image.isMounted())
        GTEST_SKIP() << "no exFAT image could be mounted: " << image.why.toStdString();
    setPreference(PreferenceKey::autoResolveDuplicates, true);
    expectCaseOnlyRenamesInPlace(QStringLiteral("card"));
    // The list lets go of the files before the image is unmounted.
    fileDataSource->replaceFilesNoUndo({}, FileAction::replace, false);
    waitForExecutors();
}
