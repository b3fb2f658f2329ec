// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "core/UndoManager+perform.h"
#include "engine/FileValidationUtil.h"
#include "engine/TransformationUtil.h"

#include <sys/stat.h>
#include <unistd.h>

class RenameRunTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        setPreference(PreferenceKey::autoResolveDuplicates, false);
        setUp4Files();
    }

    // Four files a to d in a fresh folder, renamed with the prefix "A_".
    void setUp4Files()
    {
        for (const QString& name : entries())
            QFile::remove(path(name));
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"), QStringLiteral("d.txt") });
        setRules({ prefixRule(QStringLiteral("A_")) });
        TestEnvironment::drainEvents();
    }


    QStringList partialCompletionTexts() const
    {
        QStringList texts;
        for (const auto& [message, informative] : delegate->partialCompletions)
            texts << message + QLatin1Char('|') + informative;
        return texts;
    }

};

TEST_F(RenameRunTest, RenamesTheFilesWithTheAbortButtonOfferedFromTheFirstMoment)
{
    // A rule edit, then the list came in as an undoable step; renaming makes
    // the list's step stale, not the rule edit's.
    int ruleState = 1;
    UndoManagerHelpers::perform(
        QStringLiteral("Update Rename Action"), [&] { ruleState = 2; }, [&] { ruleState = 1; });
    TestEnvironment::drainEvents();
    fileDataSource->replaceFiles(fileDataSource->getAllFiles(), FileAction::replace);
    TestEnvironment::drainEvents();
    ASSERT_EQ(undoManager.undoCount(), 2);
    const qint64 generation = fileDataSource->fileGenerationId();

    NotificationRecorder recorder({ NotificationName::disableUserInput, NotificationName::showProgressView,
        NotificationName::updateProgressView, NotificationName::dataSourceUpdated, NotificationName::hideProgressView,
        NotificationName::enableUserInput });
    runRename();

    EXPECT_EQ(entries(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt"), QStringLiteral("A_c.txt"),
                             QStringLiteral("A_d.txt") }));
    EXPECT_EQ(storedNames(), entries());
    EXPECT_GT(fileDataSource->fileGenerationId(), generation);
    EXPECT_TRUE(delegate->partialCompletions.empty());
    TestEnvironment::drainEvents();
    EXPECT_EQ(delegate->completions, std::vector<QString> { QStringLiteral("Renamed 4 files.") });
    EXPECT_EQ(undoManager.undoCount(), 1);
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Update Rename Action"));
    EXPECT_FALSE(undoManager.canRedo());
    undoManager.undo();
    EXPECT_EQ(ruleState, 1);
    EXPECT_EQ(storedNames(), entries()) << "the list keeps the renamed files";

    const QStringList names = recorder.names();
    ASSERT_GE(names.size(), 6);
    EXPECT_EQ(names.mid(0, 3), QStringList({ NotificationName::disableUserInput, NotificationName::showProgressView,
                                   NotificationName::updateProgressView }));
    EXPECT_EQ(names.mid(names.size() - 3), QStringList({ NotificationName::dataSourceUpdated,
                                               NotificationName::hideProgressView, NotificationName::enableUserInput }));
    for (const Notification& notification : recorder.received) {
        if (notification.name == NotificationName::updateProgressView)
            EXPECT_TRUE(AppNotification::UpdateProgressView::get(notification).abortable);
    }
    const Progress first = AppNotification::UpdateProgressView::get(recorder.received[2]);
    EXPECT_EQ(first.currentProgressCount, 0);
    EXPECT_EQ(first.maxProgressCount, 4);
    EXPECT_EQ(first.label, QStringLiteral("Renaming"));
}

TEST_F(RenameRunTest, TheOverlayCountsTheFilesThatWillBeRenamed)
{
    setRules({ replaceRule(QStringLiteral("a"), QStringLiteral("z")) });
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::updateProgressView });
    runRename();
    ASSERT_TRUE(exists(QStringLiteral("z.txt")));
    std::optional<Progress> last;
    for (const Notification& notification : recorder.received)
        last = AppNotification::UpdateProgressView::get(notification);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->label, QStringLiteral("Renaming"));
    EXPECT_EQ(last->currentProgressCount, 0);
    EXPECT_EQ(last->maxProgressCount, 1) << "one of the four files is renamed";
}

// The preview showed A_a.txt; another program takes that name before the run.
TEST_F(RenameRunTest, ATargetTakenAfterThePreviewIsNeverOverwrittenAndTheRowSaysSo)
{
    struct Case {
        bool autoResolve;
        QString landedAs;
        QSet<QString> errors;
        QSet<QString> warnings;
    };
    const Case cases[] = {
        { true, QStringLiteral("A_a 2.txt"), {},
            { QStringLiteral("Renamed to \"A_a 2.txt\", not \"A_a.txt\" as the preview showed: that name was taken.") } },
        { false, QStringLiteral("a.txt"), { QStringLiteral("An item with this name already exists") }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.autoResolve ? "counter" : "no counter");
        setPreference(PreferenceKey::autoResolveDuplicates, c.autoResolve);
        setUp4Files();
        runPreview();
        ASSERT_EQ(newNames().first(), QStringLiteral("A_a.txt"));
        touch(QStringLiteral("A_a.txt"), "foreign");
        runRename();
        EXPECT_EQ(content(QStringLiteral("A_a.txt")), QByteArray("foreign"));
        const File first = fileDataSource->getAllFiles().first();
        EXPECT_EQ(first.source.fileInfo.fullPath, path(c.landedAs));
        EXPECT_EQ(first.validation.errors, c.errors);
        EXPECT_EQ(first.validation.warnings, c.warnings);
        QFile::remove(path(QStringLiteral("A_a.txt")));
    }
}

// The rules change after the preview and the run starts before a new one:
// the file lands where the new rules put it, and no name was taken.
TEST_F(RenameRunTest, APreviewForOtherRulesIsNotReportedAsATakenName)
{
    setPreference(PreferenceKey::autoResolveDuplicates, true);
    runPreview();
    ASSERT_EQ(newNames().first(), QStringLiteral("A_a.txt"));
    setRules({ prefixRule(QStringLiteral("B_")) });
    runRename();
    const File first = fileDataSource->getAllFiles().first();
    EXPECT_EQ(first.source.fileInfo.fullPath, path(QStringLiteral("B_a.txt")));
    EXPECT_TRUE(first.validation.warnings.isEmpty()) << first.validation.warnings.values().join(QLatin1Char('|')).toStdString();
}

TEST_F(RenameRunTest, NothingToRenameShowsAndHidesTheOverlayOnly)
{
    setRules({});
    NotificationRecorder recorder({ NotificationName::showProgressView, NotificationName::enableUserInput });
    runRename();
    EXPECT_EQ(entries(), QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                             QStringLiteral("d.txt") }));
    EXPECT_EQ(recorder.names(), QStringList({ NotificationName::showProgressView, NotificationName::enableUserInput }));
    EXPECT_TRUE(delegate->partialCompletions.empty());
    TestEnvironment::drainEvents();
    EXPECT_TRUE(delegate->completions.empty()) << "nothing renamed, nothing to say";
}

TEST_F(RenameRunTest, AFatalRuleErrorGivesTheAlertAndRenamesNothing)
{
    setRules({ prefixRule(QStringLiteral("A_")), failingRule() });
    LogCapture log;
    NotificationRecorder recorder({ NotificationName::enableUserInput });
    runRename();

    EXPECT_EQ(entries(), QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                             QStringLiteral("d.txt") }));
    ASSERT_EQ(delegate->warnings.size(), 1u);
    EXPECT_EQ(delegate->warnings[0].first, QStringLiteral("Regular expression error"));
    EXPECT_EQ(delegate->warnings[0].second, kInvalidParenthesis);
    EXPECT_TRUE(log.contains(QStringLiteral("transformAllFiles was aborted with errors: \"%1\".").arg(kInvalidParenthesis)));
    EXPECT_TRUE(delegate->questions.empty());
    EXPECT_EQ(recorder.count(NotificationName::enableUserInput), 1);
}

TEST_F(RenameRunTest, AbortInTheDialogKeepsTheFilesAlreadyRenamedAndReportsTheRest)
{
    // b.txt goes once the names are computed and before its turn.
    afterValidation([&] { QFile::remove(path(QStringLiteral("b.txt"))); });
    delegate->answers = { RenameRunDelegate::AbortResponse::abortRenaming() };
    LogCapture log;
    runRename();

    ASSERT_EQ(delegate->questions.size(), 1u);
    const RenameRunDelegate::Question& question = delegate->questions[0];
    EXPECT_EQ(question.messageText, QStringLiteral("Unable to rename\n\n\"b.txt\"\n\nto\n\n\"A_b.txt\"\n"));
    EXPECT_EQ(question.informativeText,
        QStringLiteral("The file \"b.txt\" is no longer in %1.\nError Code: 2 (the listed item is no longer there)\n\nWould you like to continue renaming the next files?")
            .arg(root.path()));
    EXPECT_TRUE(log.contains(QStringLiteral("Aborted by user request")));

    EXPECT_EQ(entries(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("c.txt"), QStringLiteral("d.txt") }));
    EXPECT_EQ(storedNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                                 QStringLiteral("d.txt") }));
    // The failed file's row shows its error, not the check of a file about to be renamed.
    const File failed = fileDataSource->getAllFiles().at(1);
    EXPECT_EQ(failed.validation.errors, QSet<QString> { question.error.message });
    // A new preview makes every name afresh, and the row still says it cannot be renamed.
    runPreview();
    EXPECT_TRUE(fileDataSource->getAllFiles().at(1).validation.errors.contains(question.error.message));
    EXPECT_EQ(partialCompletionTexts(), QStringList({ QStringLiteral(
                                            "Rename Partially Completed|Successfully renamed 1 files.\n3 files could not be renamed.") }));
    TestEnvironment::drainEvents();
    EXPECT_TRUE(delegate->completions.empty()) << "the partial completion says it";
}

// Two files fail with the same code. With the box ticked the second failure
// goes on without asking; without it the dialog comes again.
TEST_F(RenameRunTest, ContinueWithTheRememberBoxIgnoresThatErrorForTheRestOfTheRun)
{
    struct Case {
        bool remember;
        size_t questions;
    };
    for (const Case c : { Case { true, 1 }, Case { false, 2 } }) {
        SCOPED_TRACE(c.remember ? "remember" : "ask again");
        setUp4Files();
        afterValidation([&] {
            QFile::remove(path(QStringLiteral("b.txt")));
            QFile::remove(path(QStringLiteral("d.txt")));
        });
        delegate->questions.clear();
        delegate->partialCompletions.clear();
        delegate->answers = { RenameRunDelegate::AbortResponse::continueRenaming(c.remember),
            RenameRunDelegate::AbortResponse::continueRenaming(c.remember) };
        runRename();

        EXPECT_EQ(delegate->questions.size(), c.questions);
        EXPECT_EQ(entries(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_c.txt") }));
        EXPECT_EQ(partialCompletionTexts(), QStringList({ QStringLiteral(
                                                "Rename Partially Completed|Successfully renamed 2 files.\n2 files could not be renamed.") }));
    }
}

// The abort button is pressed while the dialog is up; the user then says
// Continue: the run renames the next file, notices the cancellation and stops.
TEST_F(RenameRunTest, CancellingMidRunKeepsWhatWasRenamed)
{
    afterValidation([&] { QFile::remove(path(QStringLiteral("b.txt"))); });
    std::stop_source stop;
    delegate->onAsk = [&](const RenameRunDelegate::Question&) { stop.request_stop(); };
    delegate->answers = { RenameRunDelegate::AbortResponse::continueRenaming(false) };
    LogCapture log;
    runRename(stop);

    EXPECT_TRUE(log.contains(QStringLiteral("🟥 Renaming Task aborted by user request")));
    EXPECT_TRUE(exists(QStringLiteral("A_a.txt")));
    EXPECT_TRUE(exists(QStringLiteral("A_c.txt")));
    EXPECT_TRUE(exists(QStringLiteral("d.txt")));
    EXPECT_EQ(storedNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("b.txt"), QStringLiteral("A_c.txt"),
                                 QStringLiteral("d.txt") }));
    EXPECT_EQ(partialCompletionTexts(), QStringList({ QStringLiteral(
                                            "Rename Partially Completed|Successfully renamed 2 files.\n2 files could not be renamed.") }));
}

// A write to the store between the run's transformation and its renames (the
// single-file queue, a late validation) does not change what is renamed.
TEST_F(RenameRunTest, TheRunRenamesFromItsOwnTransformation)
{
    bool written = false;
    afterValidation([&] {
        written = true;
        File file = fileDataSource->getAllFiles().first();
        file.transformed.transformedName = QStringLiteral("HIJACK");
        fileDataSource->mutate(file, FileComponentMutation::transformed);
    });
    runRename();
    ASSERT_TRUE(written);
    EXPECT_TRUE(exists(QStringLiteral("A_a.txt")));
    EXPECT_FALSE(exists(QStringLiteral("HIJACK.txt")));
}

// The preference is switched off while the run prepares: the folder is passed
// over by the renaming, which is no failure.
TEST_F(RenameRunTest, FoldersLeftAloneBecauseFoldersAreNotRenamedAreNoFailures)
{
    mkdir(QStringLiteral("folder"));
    listFiles({ QStringLiteral("folder"), QStringLiteral("a.txt") });
    Transformer rule = suffixRule(QStringLiteral("_S"));
    rule.transformScope = TransformScope::fullPath;
    setRules({ rule });
    TestEnvironment::drainEvents();
    QString folderTarget;
    afterValidation([&] {
        folderTarget = fileDataSource->getAllFiles().first().transformed.transformedFullPath();
        setPreference(PreferenceKey::renameEmptyFolders, false);
    });
    runRename();

    EXPECT_EQ(folderTarget, path(QStringLiteral("folder_S")));

    EXPECT_TRUE(exists(QStringLiteral("folder")));
    EXPECT_TRUE(exists(QStringLiteral("a.txt_S")));
    EXPECT_TRUE(delegate->partialCompletions.empty());
}

// A file whose listed item went away or was replaced keeps its run's error
// through the previews that follow; a failure whose cause has passed does not.
TEST_F(RenameRunTest, AfterAFailedRunARowWhoseItemIsGoneOrReplacedKeepsItsError)
{
    struct Case {
        const char* what;
        std::function<void()> duringRun;
        std::function<void()> afterRun;
        bool keepsError;
    };
    const auto write = [&](const QString& name) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("other");
    };
    const QList<Case> cases {
        { "deleted", [&] { QFile::remove(path("b.txt")); }, {}, true },
        { "replaced",
            [&] {
                // Made before the old one goes, so it cannot get the old inode back.
                write("b.new");
                QFile::remove(path("b.txt"));
                QFile::rename(path("b.new"), path("b.txt"));
            },
            {}, true },
        { "target taken, then freed", [&] { write("A_b.txt"); }, [&] { QFile::remove(path("A_b.txt")); }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setUp4Files();
        afterValidation(c.duringRun);
        delegate->questions.clear();
        delegate->answers = { RenameRunDelegate::AbortResponse::continueRenaming(false) };
        runRename();
        ASSERT_EQ(delegate->questions.size(), 1u);
        const QString runError = delegate->questions[0].error.message;
        NotificationCenter::defaultCenter().removeObserver(&observer);
        if (c.afterRun)
            c.afterRun();

        runPreview();
        TestEnvironment::drainEvents();
        const File failed = fileDataSource->getAllFiles().at(1);
        ASSERT_EQ(failed.source.fileInfo.name, "b");
        EXPECT_EQ(failed.validation.errors.contains(runError), c.keepsError);
        EXPECT_EQ(failed.isToBeChanged(), !c.keepsError);
        // The renamed files are not touched by it.
        EXPECT_TRUE(fileDataSource->getAllFiles().at(0).validation.errors.isEmpty());
    }
}

TEST_F(RenameRunTest, AFolderThatMayNotBeChangedIsSaidInWordsAndNothingRenamedIsNoPartialCompletionAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    delegate->answers = { RenameRunDelegate::AbortResponse::abortRenaming() };
    // Locked once the names are checked: the preview refuses a folder it
    // already cannot write, so only the run meets this one.
    const QByteArray folder = QFile::encodeName(root.path());
    afterValidation([&] { ::chmod(folder.constData(), 0555); });
    runRename();
    ::chmod(folder.constData(), 0755);

    ASSERT_EQ(delegate->questions.size(), 1u);
    const QString informative = delegate->questions[0].informativeText;
    EXPECT_TRUE(informative.startsWith(QStringLiteral("You may not rename files in this folder.\n"))) << informative.toStdString();
    EXPECT_TRUE(informative.contains(QStringLiteral("\nError Code: 513\n\n(Is the folder read-only perhaps?)\n\n")));
    EXPECT_TRUE(informative.endsWith(QStringLiteral("Would you like to continue renaming the next files?")));
    EXPECT_EQ(partialCompletionTexts(), QStringList({ QStringLiteral(
                                            "No Files Renamed|None of the 4 files could be renamed; their rows in the list say why.") }));
}

// "x.txt" is taken by a file outside the list, so the rule's "x.txt" gets the
// counter back: the row's new name is the one it has on disk.
TEST_F(RenameRunTest, ARowWhoseNewNameIsItsNameOnDiskIsNeitherRenamedNorCounted)
{
    struct Case {
        const char* label;
        QStringList listed;
        qint64 counted; // by the preview, as files to rename
        QStringList after;
        std::vector<QString> completions;
    };
    const Case cases[] = {
        { "one changes", { "x 2.txt", "y 2.txt" }, 1, { "x 2.txt", "x.txt", "y.txt" }, { QStringLiteral("Renamed 1 file.") } },
        { "none changes", { "x 2.txt" }, 0, { "x 2.txt", "x.txt" }, {} },
    };
    setPreference(PreferenceKey::autoResolveDuplicates, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const QString& name : entries())
            QFile::remove(path(name));
        delegate->completions.clear();
        touch(QStringLiteral("x.txt"), "outside the list");
        listFiles(c.listed);
        setRules({ replaceRule(QStringLiteral(" 2"), QString()) });
        TestEnvironment::drainEvents();
        runPreview();
        ASSERT_EQ(newNames().first(), QStringLiteral("x.txt"));
        EXPECT_EQ(fileDataSource->getAllFiles().first().transformed.transformedFullPath(), path(QStringLiteral("x 2.txt")));
        EXPECT_EQ(FileValidationUtil::countFiles(fileDataSource->getAllFiles()).renameCount, c.counted);

        runRename();
        TestEnvironment::drainEvents();

        EXPECT_EQ(entries(), c.after);
        EXPECT_EQ(content(QStringLiteral("x.txt")), QByteArray("outside the list"));
        EXPECT_TRUE(delegate->partialCompletions.empty()) << partialCompletionTexts().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(delegate->completions, c.completions);
    }
}
