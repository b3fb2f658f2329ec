// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/NotificationRecorder.h"
#include "uikit/ScriptedAlertPresenter.h"
#include "support/TestEnvironment.h"

#include "core/AppNotification.h"
#include "platform/BackgroundPool.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationQueue.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "tokenui/LookupTablePanelController.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QMenu>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Rows = QList<QStringList>;

Rows rowsOf(const QList<LookupTableItem>& items)
{
    Rows rows;
    for (const LookupTableItem& item : items)
        rows << QStringList { item.find, item.replace };
    return rows;
}

// The editor over a rule list whose current rule is a Conversion rule.
class LookupTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        ruleId = addRule(TransformerType::conversion, Rows { { "a", "1" }, { "", "" }, { "b", "" } });
        transformers.selectTransformer(ruleId);
        editor = std::make_unique<LookupTablePanelController>(&transformers);
        editor->resize(400, 300);
        editor->show();
        TestEnvironment::drainEvents();
    }
    void TearDown() override
    {
        editor.reset();
        TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
        MainWindowLocator::setUndoManager(nullptr);
        LookupTablePanelController::setFileListExport({});
    }
    QString addRule(TransformerType type, const std::optional<Rows>& table)
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = type;
        rule.properties.conversionType = ConversionType::lookup;
        rule.properties.conversionLookup = table;
        rule.needsInitialSave = false;
        transformers.insert(rule, transformers.count());
        return rule.id;
    }
    Rows stored() const { return transformers.transformer(ruleId)->properties.conversionLookup.value_or(Rows()); }
    QString file(const QString& name) const { return folder.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    // Types into a cell through the table's own editor.
    void edit(int row, int column, const QString& text)
    {
        QTableView* table = editor->lookupTable()->tableView();
        const QModelIndex index = table->model()->index(row, column);
        ASSERT_TRUE(index.isValid());
        table->setCurrentIndex(index);
        table->edit(index);
        // The open editor over that cell (editors closed earlier may not be gone yet).
        LookupTableTextField* line = nullptr;
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            for (auto* field : table->findChildren<LookupTableTextField*>())
                if (field->isVisible() && table->visualRect(index).contains(field->geometry().center()))
                    line = field;
            return line != nullptr;
        }));
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
        TestEnvironment::drainEvents();
    }

    QTemporaryDir folder;
    Transformers transformers;
    UndoManager undoManager;
    QString ruleId;
    std::unique_ptr<LookupTablePanelController> editor;
};

TEST_F(LookupTable, showsTheCurrentRulesTableWithoutEmptyRows)
{
    EXPECT_EQ(editor->currentTransformerId(), ruleId);
    EXPECT_EQ(rowsOf(editor->lookupData()), (Rows { { "a", "1" }, { "b", "" } }));
    EXPECT_EQ(editor->lookupTable()->tableView()->model()->rowCount(), 2);
    EXPECT_EQ(editor->lookupTable()->tableView()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Replace"));
    EXPECT_EQ(stored(), (Rows { { "a", "1" }, { "", "" }, { "b", "" } })) << "loading writes nothing";
    for (QToolButton* button : { editor->addButton(), editor->removeButton(), editor->importButton(),
             editor->exportButton(), editor->closeButton() }) {
        EXPECT_FALSE(button->accessibleName().isEmpty());
        EXPECT_FALSE(button->toolTip().isEmpty());
    }

    // A rule without a table gets one row to type into.
    const QString empty = addRule(TransformerType::conversion, std::nullopt);
    transformers.selectTransformer(empty);
    editor->load();
    EXPECT_EQ(rowsOf(editor->lookupData()), (Rows { { "", "" } }));

    // Another kind closes the panel.
    NotificationRecorder recorder({ NotificationName::hideLookupTable });
    transformers.selectTransformer(addRule(TransformerType::simple, std::nullopt));
    editor->load();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::hideLookupTable), 1);
}

TEST_F(LookupTable, editAddAndRemoveReachTheRule)
{
    NotificationRecorder recorder({ NotificationName::transformButtonSave });
    edit(0, 1, QStringLiteral("one"));
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 1);
    EXPECT_EQ(stored(), (Rows { { "a", "one" }, { "b", "" } }));
    EXPECT_EQ(editor->lookupTable()->tableView()->model()->index(0, 1).data().toString(), QStringLiteral("one"));

    // Empty rows are no change.
    editor->lookupTable()->selectField(1, 0);
    editor->addRow();
    EXPECT_EQ(editor->lookupData().size(), 3);
    EXPECT_EQ(editor->lookupTable()->selectedRow(), 2);
    TestEnvironment::drainEvents();
    edit(2, 0, QStringLiteral("c"));
    EXPECT_EQ(stored(), (Rows { { "a", "one" }, { "b", "" }, { "c", "" } }));

    // Rows 1 and 2 selected: Add puts two rows after row 2.
    QTableView* table = editor->lookupTable()->tableView();
    table->selectionModel()->select(QItemSelection(table->model()->index(1, 0), table->model()->index(2, 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    editor->addRow();
    EXPECT_EQ(rowsOf(editor->lookupData()), (Rows { { "a", "one" }, { "b", "" }, { "c", "" }, { "", "" }, { "", "" } }));
    EXPECT_EQ(editor->lookupTable()->selectedRow(), 3);

    editor->removeRows({ 0, 4 });
    EXPECT_EQ(rowsOf(editor->lookupData()), (Rows { { "b", "" }, { "c", "" }, { "", "" } }));
    EXPECT_EQ(editor->lookupTable()->selectedRow(), 0);
    editor->removeRows({ 0, 9 }); // a row past the end removes nothing
    EXPECT_EQ(editor->lookupData().size(), 3);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonSave });
    EXPECT_EQ(stored(), (Rows { { "b", "" }, { "c", "" }, { "", "" } }));
}

TEST_F(LookupTable, tabAndArrowsMoveBetweenCellsAndGrowTheTable)
{
    editor->selectNextField(0, 0);
    EXPECT_EQ(editor->lookupTable()->tableView()->currentIndex().column(), 1);
    editor->selectNextField(1, 1); // the last row's Replace cell
    EXPECT_EQ(editor->lookupData().size(), 3);
    editor->selectPreviousField(0, 0);
    EXPECT_EQ(editor->lookupData().size(), 3) << "Shift-Tab in the first cell does nothing";
    editor->selectRowDown(2, 0);
    EXPECT_EQ(editor->lookupData().size(), 4);
    editor->selectRowUp(3, 0);
    EXPECT_EQ(editor->lookupTable()->selectedRow(), 2);
}

TEST_F(LookupTable, theKeysOfAnOpenCellCommitItAndMove)
{
    QTableView* table = editor->lookupTable()->tableView();
    auto openField = [&](int row, int column) -> LookupTableTextField* {
        const QModelIndex index = table->model()->index(row, column);
        table->setCurrentIndex(index);
        table->edit(index);
        LookupTableTextField* open = nullptr;
        TestEnvironment::processEventsUntil([&] {
            for (auto* field : table->findChildren<LookupTableTextField*>())
                if (field->isVisible() && table->visualRect(index).contains(field->geometry().center()))
                    open = field;
            return open != nullptr;
        });
        return open;
    };
    LookupTableTextField* field = openField(1, 0);
    ASSERT_TRUE(field);
    field->setText(QStringLiteral("B"));
    QTest::keyClick(field, Qt::Key_Tab);
    TestEnvironment::drainEvents();
    EXPECT_EQ(editor->lookupData().at(1).find, QStringLiteral("B")) << "the cell is committed";
    EXPECT_EQ(table->currentIndex(), table->model()->index(1, 1));

    field = openField(1, 1);
    ASSERT_TRUE(field);
    QTest::keyClick(field, Qt::Key_Down);
    TestEnvironment::drainEvents();
    EXPECT_EQ(editor->lookupData().size(), 3) << "Down in the last row adds one";
    EXPECT_EQ(table->currentIndex().row(), 2);
}

TEST_F(LookupTable, aClickBelowTheRowsAppendsOne)
{
    editor->onLookupTableAction(-1, -1);
    EXPECT_EQ(editor->lookupData().size(), 3);
    QTableView* table = editor->lookupTable()->tableView();
    table->selectAll();
    editor->onLookupTableAction(-1, -1);
    EXPECT_EQ(editor->lookupData().size(), 3) << "not while several rows are selected";
}

TEST_F(LookupTable, exportThenImportGivesTheSameTable)
{
    Transformer rule = *transformers.transformer(ruleId);
    rule.properties.conversionLookup = Rows { { "a;b", "x" }, { "say \"hi\"", "" }, { "c,d", "e\tf" }, { "Ünïcödé", "ok" } };
    transformers.addOrReplaceTransformer(rule);
    editor->load();
    EXPECT_EQ(editor->csvContent(), QStringLiteral("\"a;b\";x\n\"say \"\"hi\"\"\";\n\"c,d\";\"e\tf\"\nÜnïcödé;ok"));
    ASSERT_TRUE(editor->exportLookupTableToCsv(file(QStringLiteral("Names.csv"))));

    Transformer other = *transformers.transformer(ruleId);
    other.properties.conversionLookup = Rows { { "gone", "too" } };
    other.description = std::nullopt;
    transformers.addOrReplaceTransformer(other);
    editor->load();
    NotificationRecorder recorder({ NotificationName::transformButtonSave });
    ASSERT_TRUE(editor->importRows(file(QStringLiteral("Names.csv"))));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 1);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonSave });
    EXPECT_EQ(stored(), *rule.properties.conversionLookup);
    EXPECT_EQ(transformers.transformer(ruleId)->description, QStringLiteral("Names")) << "titled after the file";
}

// Each row alone (the first row decides the separator the reader takes) and
// all of them in one table come back from a written file as they were.
TEST_F(LookupTable, everyRowWithAFindTextComesBackFromExport)
{
    const Rows hostile {
        { "x", u"\u0301abc"_s },
        { u"\u0301"_s, u"\u0308"_s },
        { u"a\""_s, u"\u0301\""_s },
        { "\"quoted\"", "\"" },
        { u"\u200Dz"_s, u"\u200D"_s },
        { "a,b;c\td", "e,f" },
        { "tab\t", "\t" },
        { "line\r\nend", "cr\rlf\n" },
        { " spaced ", "  " },
        { "x;", ";" },
        { "=SUM(A1)", "+1" },
        { u"\uFEFFbom"_s, u"\uFEFF"_s },
        { u"\U0001F469\u200D\U0001F467"_s, u"\U0001F1E9\U0001F1EA"_s },
        { "a", "" },
    };
    QList<Rows> tables;
    for (const QStringList& row : hostile)
        tables << Rows { row };
    tables << hostile;
    for (const Rows& table : tables) {
        SCOPED_TRACE(table.first().join(QLatin1Char('|')).toStdString());
        Transformer rule = *transformers.transformer(ruleId);
        rule.properties.conversionLookup = table;
        transformers.addOrReplaceTransformer(rule);
        editor->load();
        ASSERT_TRUE(editor->exportLookupTableToCsv(file(QStringLiteral("rows.csv"))));
        ASSERT_TRUE(editor->importRows(file(QStringLiteral("rows.csv"))));
        EXPECT_EQ(rowsOf(editor->lookupData()), table);
    }
}

// A row without a find text is skipped; a single field is a find text with an empty replacement.
TEST_F(LookupTable, importReadsOtherEncodingsAndSkipsRowsWithoutFind)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const QString text = QStringLiteral("Straße;Strasse\r\nGrüße;Gruesse\n;ohne\neinzeln\nÄrger, Öl und Übel;AOU\n");
    QStringEncoder latin1(QStringConverter::Latin1);
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QList<Case> cases { { "latin1.csv", latin1.encode(text) }, { "utf16.csv", utf16.encode(text) },
        { "utf8.csv", text.toUtf8() } };
    for (const Case& c : cases) {
        write(QString::fromLatin1(c.name), c.bytes);
        ASSERT_TRUE(editor->importRows(file(QString::fromLatin1(c.name)))) << c.name;
        EXPECT_EQ(rowsOf(editor->lookupData()),
            (Rows { { "Straße", "Strasse" }, { "Grüße", "Gruesse" }, { "einzeln", "" }, { "Ärger, Öl und Übel", "AOU" } }))
            << c.name;
    }
}

TEST_F(LookupTable, filesThatCannotBeReadOrWrittenAreReported)
{
    ScriptedAlertPresenter presenter;
    const Rows before = rowsOf(editor->lookupData());
    // More rows than a recipe would read back.
    QByteArray many;
    for (qsizetype i = 0; i <= TransformerProperties::MAX_LOOKUP_ROWS; ++i)
        many += "r" + QByteArray::number(i) + ";x\n";
    write(QStringLiteral("many.csv"), many);
    EXPECT_FALSE(editor->importRows(file(QStringLiteral("missing.csv"))));
    EXPECT_FALSE(editor->exportLookupTableToCsv(file(QStringLiteral("no/such/folder/out.csv"))));
    EXPECT_FALSE(editor->importRows(file(QStringLiteral("many.csv"))));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return presenter.requests.size() == 3; }));
    EXPECT_EQ(presenter.requests.at(0).messageText, QStringLiteral("Unable to read CSV file"));
    EXPECT_EQ(presenter.requests.at(1).messageText, QStringLiteral("Unable to save CSV file"));
    EXPECT_EQ(presenter.requests.at(2).messageText, QStringLiteral("Unable to read CSV file"));
    EXPECT_TRUE(presenter.requests.at(2).informativeText.endsWith(
        QStringLiteral("The file holds 100001 rows; a lookup table holds at most 100000.")))
        << presenter.requests.at(2).informativeText.toStdString();
    EXPECT_EQ(rowsOf(editor->lookupData()), before);
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("no/such/folder/out.csv"))));
}

// Only a regular file of a table's size is read: a named pipe would hold the
// worker (and Quit, which waits for it) for good, a device never ends. Each is
// refused with an alert, the rows stay, and the worker is free at once.
TEST_F(LookupTable, anImportOfAnythingButARegularFileOfATablesSizeIsRefused)
{
    ScriptedAlertPresenter presenter;
    const Rows before = rowsOf(editor->lookupData());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(QStringLiteral("pipe.csv"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), file(QStringLiteral("zero.csv"))));
    {
        QFile large(file(QStringLiteral("large.csv")));
        ASSERT_TRUE(large.open(QIODevice::WriteOnly));
        ASSERT_TRUE(large.write("a;b\n") > 0);
        ASSERT_TRUE(large.resize(17 * 1024 * 1024)); // sparse: past the limit, nothing written
    }
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        { "pipe.csv", "It is not a regular file." },
        { "zero.csv", "It is not a regular file." },
        { "large.csv", "The file is larger than 16 MB." },
    };
    for (const auto& c : cases) {
        presenter.requests.clear();
        editor->importRowsInBackground(file(QString::fromLatin1(c.name)));
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !presenter.requests.empty(); })) << c.name;
        EXPECT_EQ(presenter.requests.at(0).messageText, QStringLiteral("Unable to read CSV file")) << c.name;
        EXPECT_EQ(presenter.requests.at(0).informativeText, file(QString::fromLatin1(c.name)) + u'\n' + QString::fromLatin1(c.reason));
        EXPECT_EQ(rowsOf(editor->lookupData()), before) << c.name;
        // What Quit waits for: it has ended.
        BackgroundPool::waitForDone();
    }
    EXPECT_EQ(rowsOf(editor->lookupData()), before);
}

// The menu's import reads the file on a worker: its rows land in the rule the
// file was chosen for, never in a rule selected in between.
TEST_F(LookupTable, anImportReadOnAWorkerLandsOnlyInItsOwnRule)
{
    write(QStringLiteral("rows.csv"), "p;q\nr;s\n");
    editor->importRowsInBackground(file(QStringLiteral("rows.csv")));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return rowsOf(editor->lookupData()) == Rows { { "p", "q" }, { "r", "s" } }; }));

    const QString otherId = addRule(TransformerType::conversion, Rows { { "keep", "me" } });
    editor->importRowsInBackground(file(QStringLiteral("rows.csv")));
    transformers.selectTransformer(otherId);
    editor->load(); // the next rule is shown before the worker's answer is
    BackgroundPool::waitForDone();
    TestEnvironment::drainEvents();
    EXPECT_EQ(rowsOf(editor->lookupData()), (Rows { { "keep", "me" } }));
}

TEST_F(LookupTable, exportMenuOffersTheFileListOnlyWhenThereIsOne)
{
    QMenu* menu = editor->exportMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Export Table to CSV"));
    EXPECT_TRUE(menu->actions().at(0)->isEnabled());

    int exported = 0;
    LookupTablePanelController::setFileListExport([&] { ++exported; });
    Transformer rule = *transformers.transformer(ruleId);
    rule.transformScope = TransformScope::path;
    rule.properties.conversionLookup = Rows { { "", "" } };
    transformers.addOrReplaceTransformer(rule);
    editor->load();
    menu = editor->exportMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Export Paths to CSV"));
    EXPECT_FALSE(menu->actions().at(1)->isEnabled()) << "every row is empty";
    menu->actions().at(0)->trigger();
    EXPECT_EQ(exported, 1);
}

TEST_F(LookupTable, undoingTheRulesEarlierEditDoesNotLoseTableEdits)
{
    edit(0, 0, QStringLiteral("A"));
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Update Lookup Table"));
    undoManager.undo();
    EXPECT_EQ(stored(), (Rows { { "a", "1" }, { "", "" }, { "b", "" } }));
    undoManager.redo();
    EXPECT_EQ(stored(), (Rows { { "A", "1" }, { "b", "" } }));
}

TEST_F(LookupTable, hidingSavesAndLetsGoOfTheRule)
{
    editor->insertRows({ LookupTableItem(QStringLiteral("z"), QStringLiteral("9")) }, 0);
    editor->hide();
    EXPECT_EQ(stored(), (Rows { { "z", "9" }, { "a", "1" }, { "b", "" } }));
    EXPECT_FALSE(editor->currentTransformerId());
    EXPECT_TRUE(editor->lookupData().isEmpty());

    // A panel deleted while it shows keeps its edits too.
    editor->show();
    editor->removeRows({ 0 });
    editor.reset();
    EXPECT_EQ(stored(), (Rows { { "a", "1" }, { "b", "" } }));
}

} // namespace
