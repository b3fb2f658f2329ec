// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Dictionary+caseInsensitive.h"
#include "core/String+path.h"
#include "core/URL+path.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Paths, components)
{
    const QString decomposed = QString::fromUtf8("/tmp/Cafe\xCC\x81/Re\xCC\x81sume\xCC\x81.txt");
    const struct { QUrl url; URLComponents expected; } cases[] = {
        { QUrl::fromLocalFile("/Users/me/Photos/IMG_1.JPG"), { "/Users/me/Photos", "IMG_1", "JPG", "/Users/me/Photos/IMG_1.JPG" } },
        { QUrl::fromLocalFile("/Users/me/Photos/"), { "/Users/me", "Photos", "", "/Users/me/Photos" } },
        { QUrl::fromLocalFile("/a//b///c.tar.gz"), { "/a/b", "c.tar", "gz", "/a/b/c.tar.gz" } },
        { QUrl::fromLocalFile("/home/.bashrc"), { "/home", ".bashrc", "", "/home/.bashrc" } },
        { QUrl::fromLocalFile("/a/a%20b"), { "/a", "a%20b", "", "/a/a%20b" } },
        { QUrl::fromLocalFile(decomposed),
            { QString::fromUtf8("/tmp/Caf\xC3\xA9"), QString::fromUtf8("R\xC3\xA9sum\xC3\xA9"), "txt",
                QString::fromUtf8("/tmp/Caf\xC3\xA9/R\xC3\xA9sum\xC3\xA9.txt") } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(URL::components(c.url), c.expected) << c.url.toString().toStdString();
}

TEST(Paths, stringRules)
{
    const struct { const char* path; const char* last; const char* ext; const char* withoutExt; const char* parent; } cases[] = {
        { "/a/b.txt", "b.txt", "txt", "/a/b", "/a" },
        { "archive.tar.gz", "archive.tar.gz", "gz", "archive.tar", "" },
        { "/home/.bashrc", ".bashrc", "", "/home/.bashrc", "/home" },
        { "name", "name", "", "name", "" },
        { "name.", "name.", "", "name.", "" },
        { "/a.b/c", "c", "", "/a.b/c", "/a.b" },
        { "/a//b/", "b", "", "/a/b", "/a" },
        { "/a/b.c//", "b.c", "c", "/a/b", "/a" },
        { "ab/", "ab", "", "ab", "" },
        { "/", "/", "", "/", "/" },
        { "/a", "a", "", "/a", "/" },
        { "", "", "", "", "" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(String::lastPathComponent(c.path), c.last) << c.path;
        EXPECT_EQ(String::pathExtension(c.path), c.ext) << c.path;
        EXPECT_EQ(String::stringByDeletingPathExtension(c.path), c.withoutExt) << c.path;
        EXPECT_EQ(String::stringByDeletingLastPathComponent(c.path), c.parent) << c.path;
    }
    EXPECT_EQ(String::pathComponents("/tmp/scratch"), QStringList({ "/", "tmp", "scratch" }));
    EXPECT_EQ(String::pathComponents("tmp//scratch"), QStringList({ "tmp", "scratch" }));
    EXPECT_EQ(String::stringByAppendingPathComponent("/a/", "/b"), "/a/b");
    EXPECT_EQ(String::stringByAppendingPathComponent("/", "b"), "/b");
    EXPECT_EQ(String::stringByAppendingPathComponent("", "b"), "b");
    EXPECT_EQ(String::stringByAppendingPathExtension("/a/b", "txt"), QString("/a/b.txt"));
    EXPECT_EQ(String::stringByAppendingPathExtension("/a/b", "t/x"), std::nullopt);
    EXPECT_EQ(String::stringByAppendingPathExtension("/", "txt"), std::nullopt);
}

TEST(Paths, tildeExpandsOnlyAsAFolder)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(String::tildePathResolved("~"), home);
    EXPECT_EQ(String::tildePathResolved("~/Documents"), home + "/Documents");
    EXPECT_EQ(String::tildePathResolved("~bob/x"), "~bob/x");
    EXPECT_EQ(String::tildePathResolved("/~x"), "/~x");
}

TEST(Paths, urlTexts)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(URL::fullPath(QUrl::fromLocalFile("/a/./b c/../d")), "/a/d");
    EXPECT_EQ(URL::fullPath(QUrl::fromLocalFile("/a/b c")), "/a/b%20c");
    EXPECT_EQ(URL::normalized(QUrl::fromLocalFile("/a/b c")).toLocalFile(), "/a/b c");
    EXPECT_EQ(URL::normalized(QUrl::fromLocalFile("/a/a%20b")).toLocalFile(), "/a/a%20b");
    EXPECT_EQ(URL::normalized(QUrl("file:///a/x%20y")).toLocalFile(), "/a/x y");
    EXPECT_EQ(URL::normalized(QUrl("~/Pictures/")).toLocalFile(), home + "/Pictures/");
    EXPECT_EQ(URL::normalized(QUrl("Pictures/a.jpg")).toLocalFile(), home + "/Pictures/a.jpg");
    EXPECT_TRUE(URL::isFile(QUrl::fromLocalFile("/a/b")));
    EXPECT_FALSE(URL::isFile(QUrl::fromLocalFile("/a/b/")));
}

TEST(Paths, fromFilePathsKeepsExistingItemsInOrderAndResolvesLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    for (const QString name : { "b.txt", "a%20b", "a b" }) {
        QFile file(root + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(root + "/b.txt", root + "/link"));
    ASSERT_TRUE(QFile::link(root + "/gone", root + "/dangling"));

    const QList<QUrl> urls = URL::from({ root + "/missing", root + "/b.txt", root + "/a%20b",
        QUrl::fromLocalFile(root + "/a b").toString(), root + "/link", root + "/dangling", "" });
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    EXPECT_EQ(paths, QStringList({ root + "/b.txt", root + "/a%20b", root + "/a b", root + "/b.txt" }));

    EXPECT_EQ(URL::resolvedAlias(QUrl::fromLocalFile(root + "/link")).toLocalFile(), root + "/b.txt");
    EXPECT_EQ(URL::resolvedAlias(QUrl::fromLocalFile(root + "/dangling")).toLocalFile(), root + "/dangling");
    EXPECT_EQ(URL::resolvedAlias(QUrl::fromLocalFile(root + "/b.txt")).toLocalFile(), root + "/b.txt");

    // A link to a link leads to the final item; a loop leads nowhere.
    ASSERT_TRUE(QFile::link("link", root + "/link-to-link"));
    EXPECT_EQ(URL::resolvedAlias(QUrl::fromLocalFile(root + "/link-to-link")).toLocalFile(), root + "/b.txt");
    ASSERT_TRUE(QFile::link(root + "/loop-2", root + "/loop-1"));
    ASSERT_TRUE(QFile::link(root + "/loop-1", root + "/loop-2"));
    EXPECT_EQ(URL::resolvedAlias(QUrl::fromLocalFile(root + "/loop-1")).toLocalFile(), root + "/loop-1");
}

TEST(Paths, caseInsensitiveDictionary)
{
    QMap<QString, int> map { { "Name", 1 }, { "Size", 2 } };
    EXPECT_EQ(Dictionary::value(map, "name"), 1);
    EXPECT_EQ(Dictionary::value(map, "nope"), std::nullopt);
    EXPECT_TRUE(Dictionary::contains(map, "SIZE"));
    Dictionary::setValue(map, "SIZE", std::optional<int>(5));
    EXPECT_EQ(map, (QMap<QString, int> { { "Name", 1 }, { "Size", 5 } }));
    Dictionary::setValue(map, "Kind", std::optional<int>(3));
    EXPECT_EQ(map.value("Kind"), 3);
    Dictionary::setValue(map, "kind", std::optional<int>());
    EXPECT_FALSE(map.contains("Kind"));
    // A composed and a decomposed accent are the same key.
    map.insert(QString::fromUtf8("Caf\xC3\xA9"), 9);
    EXPECT_EQ(Dictionary::value(map, QString::fromUtf8("CAFE\xCC\x81")), 9);

    // Two spellings stored: the first in the map's order wins, also over the key as given.
    QMap<QString, int> both { { "Date", 1 }, { "date", 2 } };
    EXPECT_EQ(Dictionary::value(both, "date"), 1);
    EXPECT_EQ(Dictionary::value(both, "DATE"), 1);
    Dictionary::setValue(both, "date", std::optional<int>(7));
    EXPECT_EQ(both, (QMap<QString, int> { { "Date", 7 }, { "date", 2 } }));
}

} // namespace
