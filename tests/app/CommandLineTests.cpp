#include "TestEnvironment.h"
#include "app/CommandLineProcessor.h"

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
