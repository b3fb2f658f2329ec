// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/DiskMove.h"
#include "engine/RenameError.h"
#include "engine/TransformationUtil.h"
#include "files/Directory.h"

#include <QDirIterator>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>

namespace {

// What a folder holds: relative paths with their contents; a folder is
// "name/" with no content.
using Layout = std::map<QString, QByteArray>;

// The system's calls, but moves for which `when` holds fail with `error`.
DiskMove::Calls failingMoves(std::function<bool(const QString& from, const QString& to, unsigned int flags)> when, int error)
{
    DiskMove::Calls calls = DiskMove::systemCalls();
    calls.rename = [when, error, system = calls.rename](const QString& from, const QString& to, unsigned int flags) {
        return when(from, to, flags) ? error : system(from, to, flags);
    };
    return calls;
}

bool endsWith(const QString& path, const char* name)
{
    return path.endsWith(QLatin1Char('/') + QLatin1String(name));
}

// Another program saves `content` at `path`: written beside it and moved over
// whatever is there, so that it is a new item even when a file was there.
void plant(const QString& path, const QByteArray& content)
{
    QFile file(path + QStringLiteral(".saving"));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    file.close();
    ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData());
}

// A file system that refuses RENAME_NOREPLACE (EINVAL), and hard links too
// when `links` is false.
DiskMove::Calls withoutNoReplace(bool links)
{
    DiskMove::Calls calls = failingMoves([](const QString&, const QString&, unsigned int flags) { return flags & RENAME_NOREPLACE; }, EINVAL);
    if (!links)
        calls.link = [](const QString&, const QString&) { return EPERM; };
    return calls;
}

// The system's calls, but just before the first move for which `when` holds
// another program saves "other" at the move's source (or at its destination).
DiskMove::Calls racingMoves(std::function<bool(const QString& from, const QString& to, unsigned int flags)> when, bool atDestination = false)
{
    DiskMove::Calls calls = DiskMove::systemCalls();
    auto raced = std::make_shared<bool>(false);
    calls.rename = [when, atDestination, raced, system = calls.rename](const QString& from, const QString& to, unsigned int flags) {
        if (!*raced && when(from, to, flags)) {
            *raced = true;
            plant(atDestination ? to : from, "other");
        }
        return system(from, to, flags);
    };
    return calls;
}

// One rename run under a fault. Each source holds its own relative path; a
// source ending in "/" is a folder. The loop is called once, as a run whose
// user answers Abort at the first failure that is not ignored.
struct FaultCase {
    const char* label;
    QList<std::pair<QString, QString>> moves;
    std::function<void(const QString& base)> fault; // after the names were computed
    std::function<DiskMove::Calls()> calls;
    RenameErrorCodes ignored;
    Layout expected;
    qint64 renamed = 0;
    qint64 failed = 0;
    qsizetype stranded = 0;
};

} // namespace

class RenameFaultTest : public EngineTest {
protected:
    Layout layout(const QString& base) const
    {
        Layout found;
        QDirIterator it(base, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString entry = it.next();
            const QString relative = entry.mid(base.size() + 1);
            if (relative == QLatin1String("keep"))
                continue;
            if (it.fileInfo().isDir() && !it.fileInfo().isSymLink()) {
                found[relative + QLatin1Char('/')] = QByteArray();
            } else {
                QFile file(entry);
                found[relative] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
            }
        }
        return found;
    }

    static std::string describe(const Layout& layout)
    {
        std::string text;
        for (const auto& [name, content] : layout)
            text += name.toStdString() + "=" + content.toStdString() + " ";
        return text;
    }
};

TEST_F(RenameFaultTest, NoFileIsLostHiddenOrMovedInAnotherFilesName)
{
    const FaultCase cases[] = {
        { "cycle of three, the middle file deleted, then Abort",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } },
            [](const QString& base) { QFile::remove(base + "/b"); }, {}, {},
            { { "a", "c" }, { "b", "a" } }, 2, 1, 0 },
        { "cycle of three, the middle file refused (read-only), then Abort: the cycle is undone",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } }, {},
            [] { return failingMoves([](const QString& from, const QString&, unsigned int) { return endsWith(from, "b"); }, EACCES); },
            {}, { { "a", "a" }, { "b", "b" }, { "c", "c" } }, 0, 1, 0 },
        { "cycle of three, the refused member's place cannot be freed: only the parked file stays, reported",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } }, {},
            [] {
                return failingMoves([](const QString& from, const QString& to, unsigned int) {
                    return endsWith(from, "b") || (endsWith(from, "a") && endsWith(to, "c"));
                }, EACCES);
            },
            {}, { { "a", "c" }, { "b", "b" }, { "a (renaming)", "a" } }, 1, 1, 1 },
        { "cycle of three, the parked file's move fails with an ignored EXDEV",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } }, {},
            [] { return failingMoves([](const QString&, const QString& to, unsigned int) { return endsWith(to, "b"); }, EXDEV); },
            { RenameError::codeForErrno(EXDEV) }, { { "a", "c" }, { "c", "b" }, { "a (renaming)", "a" } }, 2, 1, 1 },
        { "swap with one side deleted",
            { { "a", "b" }, { "b", "a" } },
            [](const QString& base) { QFile::remove(base + "/a"); }, {}, {},
            { { "a", "b" } }, 1, 1, 0 },
        { "swap with one side replaced by another file",
            { { "a", "b" }, { "b", "a" } },
            [](const QString& base) {
                // Saved beside it and moved over it, as editors save: a new
                // file made after a plain delete may get the freed inode back
                // within one timestamp tick and pass for the listed one.
                QFile other(base + "/a.new");
                other.open(QIODevice::WriteOnly);
                other.write("other");
                other.close();
                ::rename(QFile::encodeName(base + "/a.new").constData(), QFile::encodeName(base + "/a").constData());
            },
            {}, {}, { { "a", "other" }, { "a 2", "b" } }, 1, 1, 0 },
        { "a renamed folder whose listed child then moves out stays",
            { { "D/", "E" }, { "D/f", "g" } }, {}, {}, {},
            { { "E/", "" }, { "g", "D/f" } }, 2, 0, 0 },
        { "a file created during the emptied-folder check stays, and so does its folder",
            { { "x/f", "f" } }, {},
            [] {
                DiskMove::Calls calls;
                calls.onlyIgnoredNames = [](const QString& folder) {
                    std::optional<QByteArrayList> names = Directory::onlyIgnoredNames(folder);
                    QFile late(folder + "/late");
                    late.open(QIODevice::WriteOnly);
                    late.write("late");
                    return names;
                };
                return calls;
            },
            {}, { { "f", "x/f" }, { "x/", "" }, { "x/late", "late" } }, 1, 0, 0 },
        { "a target taken on disk after the names were computed",
            { { "a", "b" } },
            [](const QString& base) {
                QFile foreign(base + "/b");
                foreign.open(QIODevice::WriteOnly);
                foreign.write("foreign");
            },
            {}, {}, { { "b", "foreign" }, { "b 2", "a" } }, 1, 0, 0 },
        { "a file system that refuses RENAME_NOREPLACE (EINVAL)",
            { { "a", "b" }, { "c", "d" } },
            [](const QString& base) {
                QFile foreign(base + "/d");
                foreign.open(QIODevice::WriteOnly);
                foreign.write("foreign");
            },
            [] { return failingMoves([](const QString&, const QString&, unsigned int flags) { return flags & RENAME_NOREPLACE; }, EINVAL); },
            {}, { { "b", "a" }, { "d", "foreign" }, { "d 2", "c" } }, 2, 0, 0 },
        { "a file system that refuses RENAME_NOREPLACE and hard links",
            { { "a", "b" }, { "F/", "G" } }, {}, [] { return withoutNoReplace(false); },
            {}, { { "b", "a" }, { "G/", "" } }, 2, 0, 0 },
        { "no RENAME_NOREPLACE, no links: a cycle parks and closes",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } }, {}, [] { return withoutNoReplace(false); },
            {}, { { "a", "c" }, { "b", "a" }, { "c", "b" } }, 3, 0, 0 },
        { "no RENAME_NOREPLACE, no links: a file created at the target just before the reservation",
            { { "a", "b" } }, {},
            [] {
                DiskMove::Calls calls = withoutNoReplace(false);
                calls.link = [](const QString&, const QString& to) {
                    if (endsWith(to, "b"))
                        plant(to, "other");
                    return EPERM;
                };
                return calls;
            },
            {}, { { "b", "other" }, { "b 2", "a" } }, 1, 0, 0 },
        { "no RENAME_NOREPLACE, no links: the placeholder replaced by another file",
            { { "a", "b" }, { "F/", "G" } }, {},
            [] {
                DiskMove::Calls calls = withoutNoReplace(false);
                calls.reserve = [system = DiskMove::systemCalls().reserve](const QString& path, bool isDirectory, DiskMove::Identity& made) {
                    const int result = system(path, isDirectory, made);
                    if (result == 0 && !path.contains(QLatin1Char(' '))) {
                        if (isDirectory)
                            ::rmdir(QFile::encodeName(path).constData());
                        plant(path, "other");
                    }
                    return result;
                };
                return calls;
            },
            {}, { { "b", "other" }, { "b 2", "a" }, { "G", "other" }, { "G 2/", "" } }, 2, 0, 0 },
        { "no RENAME_NOREPLACE, no links: a file put in the placeholder folder",
            { { "F/", "G" } }, {},
            [] {
                DiskMove::Calls calls = withoutNoReplace(false);
                calls.reserve = [system = DiskMove::systemCalls().reserve](const QString& path, bool isDirectory, DiskMove::Identity& made) {
                    const int result = system(path, isDirectory, made);
                    if (result == 0 && endsWith(path, "G"))
                        plant(path + QStringLiteral("/inside"), "other");
                    return result;
                };
                return calls;
            },
            {}, { { "G/", "" }, { "G/inside", "other" }, { "G 2/", "" } }, 1, 0, 0 },
        { "no RENAME_NOREPLACE, no links, no placeholder can be made: refused, nothing moves",
            { { "a", "b" } }, {},
            [] {
                DiskMove::Calls calls = withoutNoReplace(false);
                calls.reserve = [](const QString&, bool, DiskMove::Identity&) { return EROFS; };
                return calls;
            },
            {}, { { "a", "a" } }, 0, 1, 0 },
        { "no RENAME_NOREPLACE: the source replaced between the link and the unlink",
            { { "a", "b" } }, {},
            [] {
                DiskMove::Calls calls = withoutNoReplace(true);
                calls.link = [system = DiskMove::systemCalls().link](const QString& from, const QString& to) {
                    const int result = system(from, to);
                    plant(from, "other");
                    return result;
                };
                return calls;
            },
            {}, { { "a", "other" }, { "b", "a" } }, 1, 0, 0 },
        { "the source replaced just before its move",
            { { "a", "b" } }, {},
            [] { return racingMoves([](const QString& from, const QString&, unsigned int) { return endsWith(from, "a"); }); },
            {}, { { "a", "other" } }, 0, 1, 0 },
        { "the swap partner replaced just before the exchange",
            { { "a", "b" }, { "b", "a" } }, {},
            [] { return racingMoves([](const QString&, const QString&, unsigned int flags) { return flags & RENAME_EXCHANGE; }, true); },
            {}, { { "a", "other" }, { "a 2", "b" } }, 1, 1, 0 },
        { "the file to park replaced just before the park",
            { { "a", "b" }, { "b", "c" }, { "c", "a" } }, {},
            [] {
                return racingMoves([](const QString&, const QString& to, unsigned int) { return to.contains(QStringLiteral("(renaming)")); });
            },
            { RenameError::codeForErrno(ENOENT) }, { { "a", "other" }, { "a 2", "c" }, { "c", "b" } }, 2, 1, 0 },
        // Only another spelling of its name is tried as the item itself.
        { "a file taken for its own second spelling (a hard link) cannot go back: the run stops there",
            { { "h", "H" } },
            [](const QString& base) {
                ::link(QFile::encodeName(base + "/h").constData(), QFile::encodeName(base + "/H").constData());
            },
            [] {
                return failingMoves([](const QString& from, const QString&, unsigned int) {
                    if (!from.contains(QStringLiteral("(renaming)")))
                        return false;
                    // Another program creates a file under the old name meanwhile.
                    plant(from.left(from.indexOf(QLatin1Char(' '))), "other");
                    return true;
                }, EACCES);
            },
            {}, { { "h", "other" }, { "h (renaming)", "h" }, { "H", "h" } }, 0, 1, 1 },
        { "a move into a folder the run made fails (EXDEV): the folders go again",
            { { "a", "new/deeper/b" }, { "c", "new/d" } }, {},
            [] { return failingMoves([](const QString& from, const QString&, unsigned int) { return endsWith(from, "a"); }, EXDEV); },
            { RenameError::codeForErrno(EXDEV) }, { { "a", "a" }, { "new/", "" }, { "new/d", "c" } }, 1, 1, 0 },
        { "a move into a folder the run made fails (ENAMETOOLONG): the folders go again",
            { { "a", "new/deeper/b" } }, {},
            [] { return failingMoves([](const QString&, const QString& to, unsigned int) { return to.contains(QStringLiteral("/new/")); }, ENAMETOOLONG); },
            {}, { { "a", "a" } }, 0, 1, 0 },
    };

    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir caseDir(path(QStringLiteral("case-XXXXXX")));
        const QString base = caseDir.path();
        touch(QFileInfo(base).fileName() + QStringLiteral("/keep"));
        QList<File> files;
        for (const auto& [from, to] : c.moves) {
            const QString source = QFileInfo(base).fileName() + QLatin1Char('/') + from;
            if (from.endsWith(QLatin1Char('/')))
                mkdir(source);
            else if (!QFileInfo::exists(path(source)))
                touch(source, from.toUtf8());
            files << fileTo(source.endsWith(QLatin1Char('/')) ? source.chopped(1) : source,
                QFileInfo(base).fileName() + QLatin1Char('/') + to);
        }
        if (c.fault)
            c.fault(base);

        RenameContext context = RenameContext::make(files);
        context.ignoredErrorCodes = c.ignored;
        {
            std::optional<DiskMove::ScopedCalls> calls;
            if (c.calls)
                calls.emplace(c.calls());
            context = TransformationUtil::renameFiles(context);
        }

        const Layout found = layout(base);
        EXPECT_EQ(found, c.expected) << describe(found);
        EXPECT_TRUE(context.parkedFiles.isEmpty()) << "nothing stays parked when the loop returns";
        EXPECT_EQ(context.totalSuccess, c.renamed);
        EXPECT_EQ(context.totalErrors, c.failed);
        EXPECT_EQ(context.strandedReports.size(), c.stranded);
        // Every record describes where its file is.
        for (const File& file : std::as_const(context.files)) {
            if (file.validation.errors.isEmpty())
                EXPECT_TRUE(exists(file.source.fileInfo.fullPath.mid(root.path().size() + 1))) << file.source.fileInfo.fullPath.toStdString();
        }
    }
}

TEST_F(RenameFaultTest, ARowSaysWhenTheNameOnDiskDiffersFromThePreview)
{
    touch(QStringLiteral("keep"));
    touch(QStringLiteral("a"), "a");
    QList<File> files { fileTo(QStringLiteral("a"), QStringLiteral("b")) };
    touch(QStringLiteral("b"), "foreign");
    const RenameContext context = TransformationUtil::renameFiles(RenameContext::make(files));
    ASSERT_EQ(context.files.size(), 1);
    EXPECT_EQ(context.files[0].source.fileInfo.fullPath, path(QStringLiteral("b 2")));
    EXPECT_EQ(context.files[0].validation.warnings,
        QSet<QString> { QStringLiteral("\"b\" was taken on disk: renamed to \"b 2\" instead.") });
}

// A swap is one exchange, so no instant has either file under a third name;
// where the file system cannot exchange, the swap goes through a visible
// parking name and still ends as previewed.
TEST_F(RenameFaultTest, ASwapIsOneExchange)
{
    for (const bool canExchange : { true, false }) {
        SCOPED_TRACE(canExchange ? "exchange" : "no exchange");
        QTemporaryDir caseDir(path(QStringLiteral("case-XXXXXX")));
        const QString name = QFileInfo(caseDir.path()).fileName();
        touch(name + QStringLiteral("/a"), "a");
        touch(name + QStringLiteral("/b"), "b");
        QList<File> files { fileTo(name + QStringLiteral("/a"), name + QStringLiteral("/b")),
            fileTo(name + QStringLiteral("/b"), name + QStringLiteral("/a")) };
        QStringList seen;
        DiskMove::Calls calls = DiskMove::systemCalls();
        // The moves that changed the disk: a refused one changes nothing.
        calls.rename = [&, system = calls.rename](const QString& from, const QString& to, unsigned int flags) {
            const int result = !canExchange && (flags & RENAME_EXCHANGE) ? EINVAL : system(from, to, flags);
            if (result == 0) {
                seen << QStringLiteral("%1>%2 %3").arg(QFileInfo(from).fileName(), QFileInfo(to).fileName(),
                    flags & RENAME_EXCHANGE ? QStringLiteral("exchange") : QStringLiteral("move"));
            }
            return result;
        };
        RenameContext context;
        {
            DiskMove::ScopedCalls scoped(calls);
            context = TransformationUtil::renameFiles(RenameContext::make(files));
        }
        EXPECT_EQ(context.totalSuccess, 2);
        EXPECT_EQ(content(name + QStringLiteral("/a")), QByteArray("b"));
        EXPECT_EQ(content(name + QStringLiteral("/b")), QByteArray("a"));
        if (canExchange)
            EXPECT_EQ(seen, QStringList { QStringLiteral("b>a exchange") });
        else
            EXPECT_TRUE(seen.filter(QStringLiteral("(renaming)")).size() == 2) << seen.join(", ").toStdString();
    }
}
