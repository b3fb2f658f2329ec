// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/TransformationUtil.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>

namespace {

constexpr int PAIRS = 10000;
const char* const FOLDER_VARIABLE = "BRACKENFOLD_KILL_TEST_FOLDER";

QString pairName(int pair, char side)
{
    return QStringLiteral("p%1-%2.txt").arg(pair, 5, 10, QLatin1Char('0')).arg(QLatin1Char(side));
}

} // namespace

// The child's part of the kill test, run in a process of its own: swaps every
// pair of the folder in one rename run and writes the position of each renamed
// file to stdout. Does nothing unless the kill test started it.
TEST_F(EngineTest, RenameKillChild)
{
    const QString folder = qEnvironmentVariable(FOLDER_VARIABLE);
    if (folder.isEmpty())
        GTEST_SKIP() << "the child process of RenameKillTest";
    QList<File> files;
    files.reserve(2 * PAIRS);
    for (int pair = 0; pair < PAIRS; ++pair) {
        const QString a = folder + QLatin1Char('/') + pairName(pair, 'a');
        const QString b = folder + QLatin1Char('/') + pairName(pair, 'b');
        File first(QUrl::fromLocalFile(a), false);
        first.transformed.setTransformedFullPath(b);
        File second(QUrl::fromLocalFile(b), false);
        second.transformed.setTransformedFullPath(a);
        files << first << second;
    }
    std::printf("listed\n");
    std::fflush(stdout);
    // Every reading a second later: every renamed file reports.
    SteppingClock clock(std::chrono::seconds(1));
    const RenameContext context = TransformationUtil::renameFiles(
        RenameContext::make(files),
        [](const ProgressData& data) {
            std::printf("%lld\n", static_cast<long long>(data.progressCount));
            std::fflush(stdout);
        },
        {}, clock);
    EXPECT_EQ(context.status, RenameContext::Status::done);
    EXPECT_EQ(context.totalSuccess, 2 * PAIRS);
}

class RenameKillTest : public EngineTest {
protected:
    // Starts the child on the folder and kills it with SIGKILL once it reported
    // `position` (-1: as soon as it has listed the files); answers whether the
    // child was still running then.
    bool runChildAndKill(const QString& folder, qint64 position)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(FOLDER_VARIABLE), folder);
        child.setProcessEnvironment(environment);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--gtest_filter=EngineTest.RenameKillChild") });
        EXPECT_TRUE(child.waitForStarted());
        QByteArray pending;
        bool killed = false;
        // No deadlines: on a loaded machine the child may be slow to list and
        // to report, and the folder may only be looked at once it has ended.
        while (!killed && child.state() == QProcess::Running) {
            if (!child.waitForReadyRead(-1))
                break;
            pending += child.readAllStandardOutput();
            qsizetype end = 0;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                bool isNumber = false;
                const qint64 reported = line.toLongLong(&isNumber);
                const bool reached = line == "listed" ? position < 0 : isNumber && reported >= position;
                if (reached && !killed) {
                    child.kill();
                    killed = true;
                }
            }
        }
        child.waitForFinished(-1);
        return killed;
    }

    // Every file's content is in the folder exactly once, under a visible name.
    void expectEveryFileOnceAndVisible(const QString& folder, const char* when)
    {
        QHash<QByteArray, QStringList> namesByContent;
        const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names) {
            EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << when << ": hidden " << name.toStdString();
            QFile file(folder + QLatin1Char('/') + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << when << ": " << name.toStdString();
            namesByContent[file.readAll()] << name;
        }
        EXPECT_EQ(names.size(), 2 * PAIRS) << when;
        EXPECT_EQ(namesByContent.size(), 2 * PAIRS) << when;
        for (auto it = namesByContent.cbegin(); it != namesByContent.cend(); ++it)
            EXPECT_EQ(it.value().size(), 1) << when << ": " << it.key().toStdString() << " under " << it.value().join(", ").toStdString();
    }
};

// A child renames 20,000 files in swapped pairs and is killed with SIGKILL at
// several instants; a last child runs to the end.
TEST_F(RenameKillTest, AKilledRunLeavesEveryFileOnceUnderAVisibleName)
{
    const QString folder = mkdir(QStringLiteral("pairs"));
    for (int pair = 0; pair < PAIRS; ++pair) {
        for (const char side : { 'a', 'b' }) {
            QFile file(folder + QLatin1Char('/') + pairName(pair, side));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("content of ") + pairName(pair, side).toUtf8());
        }
    }

    int killedWhileRunning = 0;
    for (const qint64 position : { qint64(-1), qint64(4000), qint64(16000) }) {
        const std::string when = "killed at " + std::to_string(position);
        if (runChildAndKill(folder, position))
            ++killedWhileRunning;
        expectEveryFileOnceAndVisible(folder, when.c_str());
    }
    EXPECT_GE(killedWhileRunning, 2) << "the kills should land while the child renames";

    runChildAndKill(folder, 2 * PAIRS + 1);
    expectEveryFileOnceAndVisible(folder, "after a full run");
}
