#include "FileTableFixture.h"
#include "core/String+csv.h"
#include "filetable/TableViewController.h"
#include "rules/Transformers.h"
#include "uikit/ScriptedAlertPresenter.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST(CsvText, FieldsAreQuotedGuardedAndWrittenOnce)
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
        { "formulas are not run by a spreadsheet",
            { withNewName("/a/1.txt", "=SUM(A1)"), withNewName("/a/2.txt", "+1"), withNewName("/a/3.txt", "-x"),
                withNewName("/a/4.txt", "@cmd"), withNewName("/a/5.txt", "a=b") },
            TransformScope::filename, "'=SUM(A1);'=SUM(A1)\n'+1;'+1\n'-x;'-x\n'@cmd;'@cmd\na=b;a=b" },
        { "a guarded formula holding the separator is quoted whole", { withNewName("/a/1.txt", "=A1;B1") },
            TransformScope::filename, "\"'=A1;B1\";\"'=A1;B1\"" },
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

TEST(CsvText, GuardedFieldsReadBackAsOneFieldEach)
{
    // What the export writes is what the lookup table reads back.
    const QString text = TableViewController::csvText(
        { withNewName("/a/1.txt", "x;y"), withNewName("/a/2.txt", "two\nlines") }, TransformScope::filename);
    QList<QStringList> rows;
    String::parseCSV(text, [&](const QStringList& row) { rows << row; });
    EXPECT_EQ(rows, (QList<QStringList> { { "x;y", "x;y" }, { "two\nlines", "two\nlines" } }));
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
