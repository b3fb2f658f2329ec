// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+csv.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QList<QStringList> parse(const QString& text)
{
    QList<QStringList> rows;
    String::parseCSV(text, [&](const QStringList& row) { rows.append(row); });
    return rows;
}

TEST(Csv, escapedForCSV)
{
    const struct { QString field; QString separator; QString expected; } cases[] = {
        { "abc", ";", "abc" },
        { "a;b", ";", "\"a;b\"" },
        { "a,b", ";", "a,b" },
        { "a,b", ",", "\"a,b\"" },
        { "say \"hi\";", ";", "\"say \"\"hi\"\";\"" },
        { "a\nb", ";", "\"a\nb\"" },
        { "a\rb", ";", "\"a\rb\"" },
        { "", ";", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::escapedForCSV(c.field, c.separator), c.expected) << c.field.toStdString();
    EXPECT_EQ(String::escapedForCSV("a;b"), "\"a;b\"");
}

TEST(Csv, parseCSV)
{
    using Rows = QList<QStringList>;
    const struct { const char* name; QString text; Rows expected; } cases[] = {
        { "empty text", "", {} },
        { "final line end adds no row", "a;b\nc;d\n", { { "a", "b" }, { "c", "d" } } },
        { "first candidate is the separator", "a,b;c", { { "a", "b;c" } } },
        { "tab", "x\ty", { { "x", "y" } } },
        { "quoted separator", "\"a;b\";c", { { "a;b", "c" } } },
        { "doubled quote", "\"say \"\"hi\"\"\";x", { { "say \"hi\"", "x" } } },
        { "quoted line feed", "\"a\nb\";c", { { "a\nb", "c" } } },
        { "single field", "single", { { "single", "" } } },
        { "crlf and an empty line", "a;b\r\n\r\nc;d", { { "a", "b" }, { "", "" }, { "c", "d" } } },
        { "trailing separator", "a;b;", { { "a", "b", "" } } },
        { "lone quote", "\"", {} },
        { "text after closing quote", "\"ab\"cd;e", { { "abcd", "e" } } },
        { "quote inside a field is ordinary", "a\"b;c", { { "a\"b", "c" } } },
        { "round trip", String::escapedForCSV("x;\"y\"\nz") + ";w", { { "x;\"y\"\nz", "w" } } },
        // Marks that join the character before them never join a separator,
        // a quote or a line end.
        { "combining mark after the separator", u"x;\u0301abc"_s, { { "x", u"\u0301abc"_s } } },
        { "joiner after the separator", u"x;\u200Dy"_s, { { "x", u"\u200Dy"_s } } },
        { "combining mark after an opening quote", u"\"\u0301a;b\";c"_s, { { u"\u0301a;b"_s, "c" } } },
        { "combining mark after a doubled quote", u"\"a\"\"\u0301\";c"_s, { { u"a\"\u0301"_s, "c" } } },
        { "combining mark after a closing quote", u"\"a\"\u0301;c"_s, { { u"a\u0301"_s, "c" } } },
        { "combining mark after a line end", u"a;b\r\n\u0301c;d"_s, { { "a", "b" }, { u"\u0301c"_s, "d" } } },
        { "combining mark on a tab separator", u"x\t\u0308y"_s, { { "x", u"\u0308y"_s } } },
        { "emoji sequences stay whole", u"\U0001F469\u200D\U0001F467;\U0001F1E9\U0001F1EA"_s,
            { { u"\U0001F469\u200D\U0001F467"_s, u"\U0001F1E9\U0001F1EA"_s } } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.text), c.expected) << c.name;
}

} // namespace
