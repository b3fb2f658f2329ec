#include "TestEnvironment.h"
#include "app/CommandLineProcessor.h"

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
