// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ContentType.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The type told by a name's ending is asked once per ending; every name must
// still get the type the database gives it, also where the rest of the name
// or the content decides.
TEST(ContentTypeTest, EveryNameGetsTheTypeTheDatabaseGivesIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        QByteArray content;
    } files[] = {
        { "a.txt", "plain" },
        { "b.txt", "" },
        { "CMakeLists.txt", "project(x)" }, // a whole name of its own
        { "README.txt", "read me" },        // a pattern on the start of the name
        { "README", "read me" },
        { "archive.tar.gz", "" },           // an ending of two parts
        { "data.gz", "" },
        { "photo.JPG", "" },
        { "photo.jpg", "" },
        { "Makefile.am", "all:" },
        { "script", "#!/bin/sh\necho\n" }, // no ending: the content decides
        { ".hidden", "x" },
        { "odd.unknownending", "%PDF-1.4\n" },
        { "c.ts", "" },                     // an ending with two types
    };
    const QMimeDatabase database;
    for (int round = 0; round < 2; ++round) { // the second round answers from what the first learnt
        for (const auto& file : files) {
            SCOPED_TRACE(file.name);
            const QString path = dir.filePath(QString::fromUtf8(file.name));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(file.content);
            out.close();
            const auto facts = ContentType::ofFile(path);
            const QMimeType expected = database.mimeTypeForFile(path);
            ASSERT_TRUE(facts.has_value());
            EXPECT_EQ(facts->name, expected.name());
            EXPECT_EQ(facts->comment, expected.comment());
        }
    }
    EXPECT_EQ(ContentType::ofDirectory()->name, "inode/directory");
    EXPECT_EQ(ContentType::ofSymbolicLink()->name, "inode/symlink");
}
