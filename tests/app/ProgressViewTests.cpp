// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"

#include <QLabel>
#include <QPushButton>

TEST(ProgressView, UpdatesShowTextPercentageAndTheAbortButton)
{
    struct Case {
        qint64 current;
        qint64 maximum;
        QString label;
        bool abortable;
        QString text;
        double percentage;
    };
    const Case cases[] = {
        { 5, 20, "Renaming", true, "Renaming 5 of 20", 25.0 },
        { 1, 3, "Preparing", false, "Preparing 1 of 3", 100.0 / 3.0 },
        { 0, 10, "Renaming", true, "Renaming 0 of 10", 0.0 },
        { 10, 10, "Renaming", false, "Renaming 10 of 10", 100.0 },
        // No maximum: an empty bar, not a division by zero.
        { 0, 0, "Renaming", true, "Renaming 0 of 0", 0.0 },
        { 3, 0, "Renaming", true, "Renaming 3 of 0", 0.0 },
    };
    auto progress = ProgressViewController::shared();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        AppNotification::UpdateProgressView::post(c.current, c.maximum, c.label, c.abortable);
        EXPECT_EQ(progress->progressText()->text(), c.text);
        EXPECT_DOUBLE_EQ(progress->percentage(), c.percentage);
        EXPECT_EQ(progress->abortButton()->isHidden(), !c.abortable);
    }
}

TEST(ProgressView, TheDefaultLabelIsRenamingAndTextIsNeverMarkup)
{
    auto progress = ProgressViewController::shared();
    NotificationCenter::defaultCenter().post({ NotificationName::updateProgressView, {},
        QVariantMap { { "currentProgressCount", 2 }, { "maxProgressCount", 4 } } });
    EXPECT_EQ(progress->progressText()->text(), "Renaming 2 of 4");
    EXPECT_EQ(progress->progressText()->textFormat(), Qt::PlainText);
}

TEST(ProgressView, ShowingResetsWhatAnEarlierRunLeftAndHidingKeepsIt)
{
    auto progress = ProgressViewController::shared();
    AppNotification::UpdateProgressView::post(7, 8, QStringLiteral("Renaming"), true);
    NotificationCenter::defaultCenter().post({ NotificationName::showProgressView, {}, {} });
    EXPECT_TRUE(progress->progressText()->text().isEmpty());
    EXPECT_TRUE(progress->abortButton()->isHidden());
    EXPECT_DOUBLE_EQ(progress->percentage(), 0.0);
    EXPECT_FALSE(progress->view()->isHidden());

    AppNotification::UpdateProgressView::post(1, 2, QStringLiteral("Renaming"), true);
    NotificationCenter::defaultCenter().post({ NotificationName::hideProgressView, {}, {} });
    EXPECT_TRUE(progress->view()->isHidden());
    EXPECT_EQ(progress->progressText()->text(), "Renaming 1 of 2");
}

TEST(ProgressView, TheAbortButtonPostsAbortProcess)
{
    auto progress = ProgressViewController::shared();
    NotificationRecorder recorder({ NotificationName::abortProcess });
    AppNotification::UpdateProgressView::post(1, 2, QStringLiteral("Renaming"), true);
    progress->abortButton()->click();
    TestEnvironment::drainEvents();
    progress->abortButton()->click();
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::abortProcess), 2);
}
