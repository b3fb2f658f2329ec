// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "core/DelayedUpdateWorker.h"
#include "platform/Clock.h"
#include "uikit/DelayedUpdateTextField.h"
#include "uikit/DynamicTextField.h"
#include "uikit/HyperlinkTextField.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Drives the delay by hand: the worker's sleep ends only when the test says so.
class DelayedUpdate : public ::testing::Test {
protected:
    void SetUp() override { DelayedUpdateWorker::setClock(&clock); }
    void TearDown() override
    {
        // Let a pending update finish before the clock goes away.
        if (DelayedUpdateWorker::isPending())
            passDelay();
        TestEnvironment::drainEvents();
        DelayedUpdateWorker::setClock(nullptr);
    }

    void passDelay()
    {
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return clock.sleeperCount() == 1; }));
        clock.advance(std::chrono::milliseconds(700));
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !DelayedUpdateWorker::isPending(); }));
        TestEnvironment::drainEvents();
    }

    ManualClock clock;
};

} // namespace

TEST_F(DelayedUpdate, OneSaveForABurstOfTypingAndAnotherForALaterEdit)
{
    NotificationRecorder recorder({ NotificationName::transformButtonSave, NotificationName::applyChanges });
    DelayedUpdateTextField field;
    QTest::keyClicks(&field, "abc");
    EXPECT_TRUE(DelayedUpdateWorker::isPending());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return clock.sleeperCount() == 1; }));
    clock.advance(std::chrono::milliseconds(699));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 0);
    clock.advance(std::chrono::milliseconds(1));
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return recorder.count(NotificationName::transformButtonSave) == 1; }));

    QTest::keyClick(&field, 'd');
    passDelay();
    EXPECT_EQ(recorder.count(NotificationName::transformButtonSave), 2);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);
    EXPECT_EQ(field.text(), "abcd");
}

TEST_F(DelayedUpdate, SettingTheTextInCodeSchedulesNothing)
{
    DelayedUpdateTextField field;
    field.setText("loaded from the rule");
    EXPECT_FALSE(DelayedUpdateWorker::isPending());
}

TEST(DynamicTextField, GrowsToShowEveryLineAtItsWidthAndFollowsTextChanges)
{
    QWidget column;
    column.setFixedWidth(120);
    auto* layout = new QVBoxLayout(&column);
    auto* field = new DynamicTextField;
    layout->addWidget(field);
    layout->addStretch(1);
    field->setText("one");
    column.show();
    TestEnvironment::drainEvents();
    const int oneLine = field->height();

    field->setText("a long text that cannot fit on one line of a narrow column and wraps over several lines");
    TestEnvironment::drainEvents();
    column.adjustSize();
    TestEnvironment::drainEvents();
    EXPECT_GT(field->height(), 2 * oneLine - oneLine / 2);
    EXPECT_EQ(field->heightForWidth(field->width()), field->sizeHint().height());
    EXPECT_LT(field->heightForWidth(1000), field->heightForWidth(120));

    field->setText("one");
    column.adjustSize();
    TestEnvironment::drainEvents();
    EXPECT_EQ(field->height(), oneLine);
}

TEST(DynamicTextField, SetUpRunsOnceWhenFirstPlaced)
{
    DynamicTextField field;
    EXPECT_FALSE(field.sizePolicy().hasHeightForWidth());
    QWidget first;
    field.setParent(&first);
    EXPECT_TRUE(field.sizePolicy().hasHeightForWidth());
    // A later change of the field's own settings survives a move to another parent.
    field.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QWidget second;
    field.setParent(&second);
    EXPECT_EQ(field.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    field.setParent(nullptr);
}

namespace {
class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};
} // namespace

TEST(HyperlinkTextField, ClickOpensAValidAddressOnly)
{
    UrlSink sink;
    QDesktopServices::setUrlHandler("https", &sink, "open");
    QDesktopServices::setUrlHandler("http", &sink, "open");

    struct Case {
        QString href;
        bool opens;
    };
    const Case cases[] = {
        { "https://example.org/help", true },
        { "", false },
        { "not an address", false },
        { "http://exa mple.org", false },
    };
    for (const Case& c : cases) {
        sink.opened.clear();
        HyperlinkTextField field("Help", c.href);
        field.resize(100, 20);
        QTest::mouseClick(&field, Qt::LeftButton);
        EXPECT_EQ(sink.opened.size(), c.opens ? 1 : 0) << c.href.toStdString();
        if (c.opens)
            EXPECT_EQ(sink.opened.front(), QUrl(c.href));
    }
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
}

TEST(HyperlinkTextField, LooksLikeALinkAndShowsItsTextPlain)
{
    HyperlinkTextField field("<b>site</b>", "https://example.org");
    EXPECT_EQ(field.textFormat(), Qt::PlainText);
    EXPECT_TRUE(field.font().underline());
    EXPECT_EQ(field.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(field.palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::Link));
    field.setText("changed");
    EXPECT_TRUE(field.font().underline());
}

#include "TextFieldTests.moc"
