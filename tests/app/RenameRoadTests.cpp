// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenameRoad.h"
#include "ruleui/TransformViewController.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTest>

TEST_F(RenameRoadTest, CommitChangesRenamesTheOpenedFolderOnDisk)
{
    const QString folder = makeFolder({ "banana.txt", "cherry.txt", "apple.txt" });
    open(folder, 3);

    transformers->load({ replaceRule(QStringLiteral("a"), QStringLiteral("b")) });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return newNames() == QStringList({ "bpple.txt", "bbnbnb.txt", "cherry.txt" });
    })) << newNames().join(", ").toStdString();

    renameAndWait();

    EXPECT_EQ(entries(folder), QStringList({ "bbnbnb.txt", "bpple.txt", "cherry.txt" }));
    QStringList stored;
    for (const File& file : fileDataSource->getAllFiles())
        stored << file.source.fileInfo.name;
    EXPECT_EQ(stored, QStringList({ "bpple", "bbnbnb", "cherry" }));
    // Everything renamed: no question, no report.
    EXPECT_TRUE(presenter.requests.empty());
    EXPECT_TRUE(report.isEmpty());

    // The table in the window shows the renamed files.
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return table->numberOfRows() == 3 && table->model()->fileAt(0)->source.fileInfo.name == "bpple";
    }));
}

// Two files whose new names are taken on disk fail with the same code. The
// question is the window's alert; its answer decides the rest of the run.
TEST_F(RenameRoadTest, TheQuestionAfterAFailedFileDecidesTheRestOfTheRun)
{
    struct Case {
        const char* name;
        int button;
        bool remember;
        size_t questions;
        QStringList renamed; // of a1, a2, a3
        QString report;
    };
    const Case cases[] = {
        { "continue, remember", 0, true, 1, { "b3.txt" }, "Successfully renamed 1 files.\n2 files could not be renamed." },
        { "continue", 0, false, 2, { "b3.txt" }, "Successfully renamed 1 files.\n2 files could not be renamed." },
        { "abort", 1, true, 1, {}, "None of the 3 files could be renamed; their rows in the list say why." },
        // Escape or the close button: only Abort stops the run.
        { "closed, remember", AlertPresenter::NO_BUTTON, true, 1, { "b3.txt" }, "Successfully renamed 1 files.\n2 files could not be renamed." },
        { "closed", AlertPresenter::NO_BUTTON, false, 2, { "b3.txt" }, "Successfully renamed 1 files.\n2 files could not be renamed." },
    };
    Preference::set(false, PreferenceKey::autoResolveDuplicates);
    transformers->load({ replaceRule(QStringLiteral("a"), QStringLiteral("b")) });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = makeFolder({ "a1.txt", "a2.txt", "a3.txt" });
        QList<QUrl> listed;
        for (const char* name : { "a1.txt", "a2.txt", "a3.txt" })
            listed << QUrl::fromLocalFile(folder + "/" + name);
        open(listed);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return newNames() == QStringList({ "b1.txt", "b2.txt", "b3.txt" }); }));
        presenter.requests.clear();
        presenter.presented.clear();
        presenter.answer = c.button;
        presenter.checkboxAnswer = c.remember;
        // Two files disappear after the preview.
        QFile::remove(folder + "/a1.txt");
        QFile::remove(folder + "/a2.txt");

        renameAndWait();

        ASSERT_EQ(presenter.requests.size(), c.questions);
        const AlertRequest& question = presenter.requests[0];
        EXPECT_EQ(question.messageText, "Unable to rename\n\n\"a1.txt\"\n\nto\n\n\"b1.txt\"\n");
        EXPECT_EQ(question.informativeText, "The file \"a1.txt\" is no longer in " + folder
                + ".\nError Code: 2 (the listed item is no longer there)\n\nWould you like to continue renaming the next files?");
        EXPECT_EQ(question.style, AlertStyle::warning);
        EXPECT_EQ(question.buttons, QStringList({ "Continue", "Abort" }));
        EXPECT_FALSE(question.checkboxTitle.isEmpty());
        if (c.questions == 2)
            EXPECT_EQ(presenter.requests[1].messageText, "Unable to rename\n\n\"a2.txt\"\n\nto\n\n\"b2.txt\"\n");

        const QStringList expected = c.renamed.isEmpty() ? QStringList { "a3.txt" } : c.renamed;
        EXPECT_EQ(entries(folder), expected);
        // The report goes to the shared alert sheet.
        const char* title = c.renamed.isEmpty() ? "No Files Renamed" : "Rename Partially Completed";
        EXPECT_EQ(report, QStringList({ title, c.report })) << "a run that renames nothing is no partial completion";
    }
}

// A rule edit and a new list within one idle pass: the rule's queued
// applyChanges absorbs the list's own, so the list's cancelling of the pending
// preview must not undo the preview that applyChanges starts.
TEST_F(RenameRoadTest, AListReplacedWhileAnApplyChangesIsQueuedIsStillPreviewed)
{
    const QString folder = makeFolder({ "apple.txt", "avocado.txt" });
    TestEnvironment::drainEvents();
    transformers->load({ replaceRule(QStringLiteral("a"), QStringLiteral("b")) });
    fileDataSource->replaceFiles({ File(QUrl::fromLocalFile(folder + "/apple.txt"), false),
                                     File(QUrl::fromLocalFile(folder + "/avocado.txt"), false) },
        FileAction::replace);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] {
        return newNames() == QStringList({ "bpple.txt", "bvocbdo.txt" });
    })) << newNames().join(", ").toStdString();
}

// A rule that fails while the names are prepared: the warning is the window's
// alert, nothing is renamed and input comes back.
TEST_F(RenameRoadTest, ARuleFailureShowsAWarningAndRenamesNothing)
{
    const QString folder = makeFolder({ "apple.txt" });
    open(folder, 1);
    transformers->load({ replaceRule(QStringLiteral("a"), QStringLiteral("b")), failingRule() });
    presenter.requests.clear();

    renameAndWait();

    EXPECT_EQ(entries(folder), QStringList({ "apple.txt" }));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return presenter.requests.size() == 1; }));
    const AlertRequest& warning = presenter.requests[0];
    EXPECT_EQ(warning.style, AlertStyle::warning);
    EXPECT_EQ(warning.messageText, "Regular expression error");
    EXPECT_EQ(warning.informativeText, kInvalidParenthesis);
    EXPECT_TRUE(warning.buttons.isEmpty());
    EXPECT_TRUE(warning.checkboxTitle.isEmpty());
    EXPECT_TRUE(report.isEmpty());
}

// A camera model token: the attributes are preloaded after the open and the
// preview fills in from them; the rename run then uses the values the preview
// showed, even when the file changed on disk meanwhile.
TEST_F(RenameRoadTest, AnExifTokenResolvesOnceTheAttributesArePreloaded)
{
    const QString folder = makeFolder({ "notes.txt" });
    ASSERT_TRUE(MediaFixtures::writeJpeg(folder + "/photo.jpg", &MediaFixtures::cameraExif));
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::prefix;
    rule.properties.prefixText = TokenString::attribute(QStringLiteral("{TIFF}.Model")) + QStringLiteral("_");
    transformers->load({ rule });
    open(folder, 2);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return newNames() == QStringList({ "_notes.txt", "BF-1_photo.jpg" });
    })) << newNames().join(", ").toStdString();
    ASSERT_TRUE(settleBackgroundWork());

    ASSERT_TRUE(MediaFixtures::writeJpeg(folder + "/photo.jpg", [](Exiv2::ExifData& exif) {
        MediaFixtures::cameraExif(exif);
        exif["Exif.Image.Model"] = "BF-2";
    }));
    renameAndWait();
    EXPECT_EQ(entries(folder), QStringList({ "BF-1_photo.jpg", "_notes.txt" }));
}

// The date sorts order files by their modification dates, also while no rule
// reads attributes.
TEST_F(RenameRoadTest, TheDateSortsOrderTheOpenedFiles)
{
    const QString folder = makeFolder({ "new.txt", "old.txt", "middle.txt" });
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const struct { const char* name; int daysAgo; } ages[] = { { "new.txt", 1 }, { "old.txt", 30 }, { "middle.txt", 10 } };
    for (const auto& age : ages) {
        QFile file(folder + "/" + age.name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(now.addDays(-age.daysAgo), QFileDevice::FileModificationTime));
    }
    open(folder, 3);
    const auto names = [&] {
        QStringList list;
        for (const File& file : fileDataSource->getAllFiles())
            list << file.source.fileInfo.name;
        return list;
    };
    fileDataSource->sortBy(FileSortOrder::byDateModifiedAscending);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return names() == QStringList({ "old", "middle", "new" }); }))
        << names().join(", ").toStdString();
    fileDataSource->sortBy(FileSortOrder::byDateModifiedDescending);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return names() == QStringList({ "new", "middle", "old" }); }))
        << names().join(", ").toStdString();
}

// Two clicks on Rename 200 ms apart, or Ctrl+Return pressed again: the run of
// three files and the preview of the renamed list are done before the second
// press, which the double-click interval then stops. Time is the rule bar's
// own clock, moved by hand.
TEST_F(RenameRoadTest, ASecondPressRightAfterARunRenamesNothingMore)
{
    const auto ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
    ASSERT_TRUE(ruleBar);
    ManualClock clock;
    ruleBar->setClock(&clock);
    const auto restoreClock = qScopeGuard([&] { ruleBar->setClock(nullptr); });
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QString folder = makeFolder({ "IMG_1005.JPG", "IMG_1006.JPG", "IMG_1007.JPG" });
    open(folder, 3);
    transformers->load({ prefixRule(QStringLiteral("x_")) });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return ruleBar->renameButton()->isEnabled() && newNames().first() == "x_IMG_1005.JPG"; }));

    const std::pair<const char*, std::function<void()>> presses[] = {
        { "click", [&] { QTest::mouseClick(ruleBar->renameButton(), Qt::LeftButton); } },
        { "Ctrl+Return", [&] { QTest::keyClick(window.get(), Qt::Key_Return, Qt::ControlModifier); } },
    };
    QString prefix;
    for (const auto& [label, press] : presses) {
        SCOPED_TRACE(label);
        prefix += "x_";
        NotificationRecorder recorder({ NotificationName::transformButtonUpdated, NotificationName::validationResult,
            NotificationName::enableUserInput });
        press();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            const QStringList names = recorder.names();
            const qsizetype written = names.indexOf(NotificationName::transformButtonUpdated);
            return written >= 0 && names.indexOf(NotificationName::validationResult, written) > written
                && names.contains(NotificationName::enableUserInput) && !handler->transformationTask().isValid();
        })) << recorder.names().join(", ").toStdString();
        TestEnvironment::drainEvents();
        const QStringList renamed { prefix + "IMG_1005.JPG", prefix + "IMG_1006.JPG", prefix + "IMG_1007.JPG" };
        ASSERT_EQ(entries(folder), renamed);
        ASSERT_TRUE(ruleBar->renameButton()->isEnabled());

        // The second press of either kind, within the interval.
        for (const auto& [againLabel, again] : presses) {
            NotificationRecorder requests({ NotificationName::commitChanges });
            again();
            TestEnvironment::drainEvents();
            EXPECT_EQ(requests.count(NotificationName::commitChanges), 0) << againLabel;
        }
        ASSERT_TRUE(settleBackgroundWork());
        EXPECT_EQ(entries(folder), renamed);
        // A press after the interval is a new intention.
        clock.advance(std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
    }
}
