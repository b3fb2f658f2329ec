// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/CommandLineProcessor.h"
#include "app/OpenFolderEventHandler.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(CommandLine, EachOptionTakesTheOneArgumentAfterIt)
{
    struct Case {
        QStringList arguments;
        QMap<QString, QStringList> options;
        QStringList documents;
    };
    const Case cases[] = {
        { { "bf", "-d", "A", "-d", "B" }, { { "-d", { "A", "B" } } }, {} },
        { { "bf", "-d", "A", "B" }, { { "-d", { "A" } } }, { "B" } },
        { { "bf", "-d" }, { { "-d", {} } }, {} },
        { { "bf", "-r", "x.recipe", "-x" }, { { "-r", { "x.recipe" } }, { "-x", {} } }, {} },
        { { "bf", "/home/u/a.txt", "/home/u/b" }, {}, { "/home/u/a.txt", "/home/u/b" } },
        { { "bf" }, {}, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const auto parsed = CommandLineProcessor::parse(c.arguments);
        EXPECT_EQ(parsed.options, c.options);
        EXPECT_EQ(parsed.documents, c.documents);
    }
}

TEST(CommandLine, TheDesktopsFilesFollowTheServiceMarker)
{
    const auto parsed = CommandLineProcessor::parse(
        { "bf", "doc.txt", "-d", "A", "--service", "/x/a b.jpg", "-d", "/x/c" });
    EXPECT_EQ(parsed.documents, QStringList({ "doc.txt" }));
    EXPECT_EQ(parsed.options, (QMap<QString, QStringList> { { "-d", { "A" } } }));
    EXPECT_EQ(parsed.serviceFiles, QStringList({ "/x/a b.jpg", "-d", "/x/c" }));
}

// Which arguments are paths, and how they are made absolute.
TEST(CommandLine, PathsCountFromTheWorkingFolder)
{
    struct Case {
        QStringList arguments;
        QStringList absolute;
    };
    const QString home = QDir::homePath();
    const Case cases[] = {
        { { "bf", "-d", "a", "-d", "/b", "c/d.txt" }, { "bf", "-d", "/w/a", "-d", "/b", "/w/c/d.txt" } },
        { { "bf", "-r", "r.recipe" }, { "bf", "-r", "/w/r.recipe" } },
        { { "bf", "-r", "~/r.recipe" }, { "bf", "-r", home + "/r.recipe" } },
        { { "bf", "-r", "{\"x\":1}" }, { "bf", "-r", "{\"x\":1}" } },
        { { "bf", "-x", "keep", "../up" }, { "bf", "-x", "keep", "/up" } },
        { { "bf", "file:///x/a%20b.recipe" }, { "bf", "/x/a b.recipe" } },
        { { "bf", "--service", "a", "-d" }, { "bf", "--service", "/w/a", "/w/-d" } },
        { { "relative-program" }, { "relative-program" } },
        // Plain file paths, whatever Qt would make of them.
        { { "bf", ":x.txt", "-d", ":photos", "-r", ":r.recipe" },
            { "bf", "/w/:x.txt", "-d", "/w/:photos", "-r", "/w/:r.recipe" } },
        { { "bf", "~draft.txt", "~" }, { "bf", "/w/~draft.txt", home } },
        { { "bf", "file://" }, { "bf", "/w/file:" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(CommandLineProcessor::absoluteArguments(c.arguments, "/w"), c.absolute);
    }
}

// The command lines of a start, with paths relative to the working folder as a
// shell passes them: what the file list holds once the opens have ended.
TEST_F(AppTest, EveryFolderOfTheCommandLineIsListed)
{
    const QString a = makeFolder({ "a1.txt", "a2.txt" });
    const QString b = makeFolder({ "b.txt" });
    const QString work = makeFolder({ "plain.txt" });
    // Joined by hand: Qt's own joining would take ":colon.txt" for a resource.
    ASSERT_TRUE(QFile(work + "/:colon.txt").open(QIODevice::WriteOnly));
    const QString relativeA = QDir(work).relativeFilePath(a);
    struct Case {
        QStringList arguments;
        QStringList listed;
    };
    const Case cases[] = {
        { { "-d", a, b }, { "a1.txt", "a2.txt", "b.txt" } },
        { { "-d", a, "-d", b }, { "a1.txt", "a2.txt", "b.txt" } },
        { { "-d", relativeA, "-d", b }, { "a1.txt", "a2.txt", "b.txt" } },
        { { a, b }, { "a1.txt", "a2.txt", "b.txt" } },
        { { "-d", b, "-d" }, { "b.txt" } },
        { { ":colon.txt", "plain.txt" }, { ":colon.txt", "plain.txt" } },
        { { "-d", ":colon.txt" }, { ":colon.txt" } },
    };
    MainWindow& mainWindow = makeWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        AppDelegate delegate(&mainWindow);
        delegate.applicationWillFinishLaunching(QStringList { "brackenfold" } + c.arguments, work);
        const auto listed = DependencyInjectionRegistry::get<FileDataSource>("test", "test", 0);
        ASSERT_TRUE(listed);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return !delegate.openFolderEventHandler()->openFilesTask().isValid(); }, std::chrono::seconds(60)));
        ASSERT_TRUE(settleBackgroundWork());
        QStringList names;
        for (const File& file : listed->getAllFiles())
            names << file.source.fileInfo.fullPath.section('/', -1);
        names.sort();
        EXPECT_EQ(names, c.listed);
    }
}

TEST(CommandLine, HelpAndVersionAreAnsweredInPlaceOfAStart)
{
    struct Case {
        QStringList arguments;
        const char* startsWith;
    };
    const Case cases[] = {
        { { "bf", "--help" }, "Usage: brackenfold [-d PATH]... [-r RECIPE] [PATH]...\n" },
        { { "bf", "-d", "/x", "--help" }, "Usage: " },
        { { "bf", "--version" }, "Brackenfold " },
        { { "bf", "--version", "--help" }, "Usage: " },
        { { "bf", "-d", "--version" }, "Brackenfold " },
        { { "bf" }, nullptr },
        { { "bf", "-d", "/x" }, nullptr },
        { { "bf", "/x/--help" }, nullptr },
        { { "bf", "--service", "--help" }, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const auto text = CommandLineProcessor::helpOrVersionText(c.arguments);
        ASSERT_EQ(text.has_value(), c.startsWith != nullptr);
        if (text)
            EXPECT_TRUE(text->startsWith(QString::fromUtf8(c.startsWith))) << text->toStdString();
    }
}
