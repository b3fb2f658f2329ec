// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "core/AppNotification+Typed.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

class DropTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        column = window->contentViewController()->mainViewController()->view();
    }

    bool drop(const QMimeData& mime, Qt::KeyboardModifiers modifiers)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, modifiers);
        QApplication::sendEvent(column, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, modifiers);
        QApplication::sendEvent(column, &dropEvent);
        return dropEvent.isAccepted();
    }

    MainStackView* column = nullptr;
};

TEST_F(DropTest, AltAppendsWithoutAskingOtherwiseTheFlowAsks)
{
    struct Case {
        Qt::KeyboardModifiers modifiers;
        bool ask;
        FileAction action;
    };
    const Case cases[] = {
        { Qt::NoModifier, true, FileAction::replace },
        { Qt::AltModifier, false, FileAction::append },
        { Qt::AltModifier | Qt::ShiftModifier, false, FileAction::append },
    };
    const QString folder = makeFolder({ "a.txt" });
    for (const Case& c : cases) {
        NotificationRecorder recorder({ NotificationName::openFolder });
        QMimeData mime;
        // Remote items cannot be renamed here and are left out.
        mime.setUrls({ QUrl::fromLocalFile(folder), QUrl(QStringLiteral("https://example.org/x.txt")) });
        ASSERT_TRUE(drop(mime, c.modifiers));
        ASSERT_EQ(recorder.received.size(), 1u);
        const auto request = AppNotification::OpenFolder::get(recorder.received[0]);
        EXPECT_EQ(request.urls, QList<QUrl>({ QUrl::fromLocalFile(folder) }));
        EXPECT_EQ(request.ask, c.ask);
        EXPECT_EQ(request.action, c.action);
    }
}

TEST_F(DropTest, TextOrRemoteItemsAreNotTaken)
{
    NotificationRecorder recorder({ NotificationName::openFolder });
    QMimeData text;
    text.setText(QStringLiteral("/home/someone/file.txt"));
    EXPECT_FALSE(drop(text, Qt::NoModifier));
    QMimeData remote;
    remote.setUrls({ QUrl(QStringLiteral("https://example.org/x.txt")) });
    EXPECT_FALSE(drop(remote, Qt::NoModifier));
    EXPECT_TRUE(recorder.received.empty());
}
