// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "core/String+csv.h"
#include "core/String+encoding.h"
#include "filetable/TableViewController.h"
#include "rules/Transformers.h"
#include "uikit/ScriptedAlertPresenter.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

File withNewName(const QString& path, const QString& name, const QString& ext = QStringLiteral("txt"))
{
    File file = renamed(makeFile(path), name);
    file.transformed.transformedExt = ext;
    return file;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CsvText, FieldsAreQuotedAndWrittenOnce)
{
    struct Case {
        const char* what;
        QList<File> files;
        TransformScope scope;
        QString expected;
    };
    const QList<Case> cases {
        { "plain names, one line each, no line feed after the last",
            { withNewName("/a/1.txt", "one"), withNewName("/a/2.txt", "two") }, TransformScope::filename,
            "one;one\ntwo;two" },
        { "ten files of one new name give one line",
            QList<File>(10, withNewName("/a/x.txt", "same")), TransformScope::filename, "same;same" },
        { "the separator is quoted", { withNewName("/a/1.txt", "a;b") }, TransformScope::filename,
            "\"a;b\";\"a;b\"" },
        { "a double quote is doubled inside quotes", { withNewName("/a/1.txt", "say \"hi\"") },
            TransformScope::filename, "\"say \"\"hi\"\"\";\"say \"\"hi\"\"\"" },
        { "a line feed in a name stays inside its quotes", { withNewName("/a/1.txt", "two\nlines") },
            TransformScope::filename, "\"two\nlines\";\"two\nlines\"" },
        { "a carriage return is quoted too", { withNewName("/a/1.txt", "cr\rname") }, TransformScope::filename,
            "\"cr\rname\";\"cr\rname\"" },
        { "names are written as they are, whatever they begin with",
            { withNewName("/a/1.txt", "=SUM(A1)"), withNewName("/a/2.txt", "+1"), withNewName("/a/3.txt", "-x"),
                withNewName("/a/4.txt", "@cmd") },
            TransformScope::filename, "=SUM(A1);=SUM(A1)\n+1;+1\n-x;-x\n@cmd;@cmd" },
        { "a comma or a tab, which the import may take as its separator, is quoted",
            { withNewName("/a/1.txt", "Smith, John"), withNewName("/a/2.txt", "a\tb") }, TransformScope::filename,
            "\"Smith, John\";\"Smith, John\"\n\"a\tb\";\"a\tb\"" },
        { "the extension scope gives one line per distinct extension",
            { withNewName("/p/1.jpg", "a", "jpg"), withNewName("/p/2.jpg", "b", "jpg"), withNewName("/p/3.png", "c", "png") },
            TransformScope::ext, "jpg;jpg\npng;png" },
        { "the path scope", { withNewName("/p/q/1.txt", "a"), withNewName("/p/r/1.txt", "a") }, TransformScope::path,
            "/p/q;/p/q\n/p/r;/p/r" },
        { "the full path scope", { withNewName("/p/1.txt", "a", "md") }, TransformScope::fullPath, "/p/a.md;/p/a.md" },
        { "no files, no text", {}, TransformScope::filename, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TableViewController::csvText(c.files, c.scope), c.expected) << c.what;
}

class CsvExportTest : public FileTableFixture {
protected:
    void SetUp() override
    {
        FileTableFixture::SetUp();
        controller = std::make_unique<TableViewController>();
        controller->view();
    }
    void TearDown() override
    {
        controller.reset();
        FileTableFixture::TearDown();
    }
    QTemporaryDir folder;
    ScriptedAlertPresenter alerts;
    std::unique_ptr<TableViewController> controller;
};

TEST_F(CsvExportTest, AnExistingFileIsReplacedWhole)
{
    fill({ withNewName("/a/1.txt", "new") });
    const QString path = folder.filePath("names.csv");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000, 'x'));
    }
    EXPECT_TRUE(controller->saveFileListToCsv(path, TransformScope::filename));
    EXPECT_EQ(readAll(path), QByteArray("new;new"));
    EXPECT_TRUE(alerts.requests.empty());
}

TEST_F(CsvExportTest, EveryNameReadsBackExactlyThroughTheLookupTableImport)
{
    // Read back as the lookup table imports a file: decoded, then parsed.
    const QStringList names { "Smith, John", "a;b", "tab\there", "say \"hi\"", "\"quoted\"", "two\nlines",
        "cr\rname", "crlf\r\nname", "=SUM(A1,B1)", "+1", "-x", "@cmd", "'apostrophe", " padded ", ",;\t\"",
        "\"", "naïve, café", "日本語;名前", u"mid\uFEFFdle"_s };
    // A name that begins with a byte order mark, first in the file, is a name, not the file's encoding.
    const QStringList firsts { QString(), u"\uFEFFbom"_s, u"\uFEFF"_s };
    for (const QString& first : firsts) {
        const QStringList list = first.isNull() ? names : QStringList { first } + names;
        SCOPED_TRACE(list.first().toStdString());
        QList<File> files;
        for (const QString& name : list)
            files << withNewName(QStringLiteral("/a/%1.txt").arg(files.size()), name);
        fill(files);
        const QString path = folder.filePath("names.csv");
        ASSERT_TRUE(controller->saveFileListToCsv(path, TransformScope::filename));

        const std::optional<QString> text = String::decodedText(readAll(path));
        ASSERT_TRUE(text);
        QList<QStringList> rows;
        String::parseCSV(*text, [&](const QStringList& row) { rows << row; });
        ASSERT_EQ(rows.size(), list.size());
        for (qsizetype i = 0; i < list.size(); ++i)
            EXPECT_EQ(rows[i], (QStringList { list[i], list[i] })) << list[i].toStdString();
    }
}

TEST_F(CsvExportTest, AFailedWriteLeavesNoPartialFileLogsAndAlerts)
{
    fill({ withNewName("/a/1.txt", "new") });
    LogCapture log;
    // The folder of the target does not exist: nothing can be written.
    const QString path = folder.filePath("missing/names.csv");
    EXPECT_FALSE(controller->saveFileListToCsv(path, TransformScope::filename));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    ASSERT_EQ(alerts.requests.size(), 1u);
    EXPECT_TRUE(alerts.requests[0].messageText.contains(path));
    EXPECT_FALSE(alerts.requests[0].informativeText.isEmpty());
    bool logged = false;
    for (const QString& line : log.lines())
        logged = logged || line.startsWith(QStringLiteral("Unable to save CSV file to ") + path + QStringLiteral(" due to: "));
    EXPECT_TRUE(logged);
}

TEST_F(CsvExportTest, AFolderInTheWayKeepsItsContents)
{
    fill({ withNewName("/a/1.txt", "new") });
    const QString path = folder.filePath("taken");
    ASSERT_TRUE(QDir(folder.path()).mkdir("taken"));
    QFile inside(folder.filePath("taken/keep.txt"));
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.write("keep");
    inside.close();
    EXPECT_FALSE(controller->saveFileListToCsv(path, TransformScope::filename));
    EXPECT_EQ(readAll(folder.filePath("taken/keep.txt")), QByteArray("keep"));
    EXPECT_EQ(alerts.requests.size(), 1u);
}

TEST_F(CsvExportTest, TheCommandAsksForAFileAndWritesTheCurrentRulesScope)
{
    auto transformers = std::make_shared<Transformers>();
    DependencyInjectionRegistry::shared().registerInstance(transformers);
    transformers->reset();
    Transformer rule = *transformers->currentTransformer();
    rule.transformScope = TransformScope::ext;
    transformers->addOrReplaceTransformer(rule);

    QWidget window;
    // Without files the command does nothing.
    controller->view()->setParent(&window);
    controller->exportFilesToCsv(nullptr);
    EXPECT_TRUE(alerts.presented.isEmpty());

    fill({ withNewName("/p/1.jpg", "a", "jpg"), withNewName("/p/2.jpg", "b", "jpg") });
    controller->exportFilesToCsv(nullptr);
    ASSERT_EQ(alerts.presented.size(), 1);
    EXPECT_EQ(alerts.presentedOver.value(0), &window);
    auto* panel = qobject_cast<QFileDialog*>(alerts.presented[0]);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Export CSV"));
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    const QString path = folder.filePath("ext.csv");
    panel->selectFile(path);
    static_cast<QDialog*>(panel)->accept();
    EXPECT_EQ(readAll(path), QByteArray("jpg;jpg"));
    controller->view()->setParent(nullptr);
}
