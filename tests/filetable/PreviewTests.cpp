// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileTableModel.h"
#include "filetable/PreviewWindow.h"
#include "filetable/QuickLookController.h"
#include "filetable/TableViewController.h"

#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& content)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QString writeImage(const QTemporaryDir& folder, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = folder.filePath(name);
    image.save(path, "PNG");
    return path;
}

} // namespace

class PreviewLoadTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
};

TEST_F(PreviewLoadTest, ImagesTextAndEverythingElse)
{
    using Content = PreviewWindow::Content;
    const PreviewWindow::Preview image = PreviewWindow::load(writeImage(folder, "photo.png", QSize(40, 30)));
    EXPECT_EQ(image.content, Content::image);
    EXPECT_EQ(image.image.size(), QSize(40, 30));

    const PreviewWindow::Preview text = PreviewWindow::load(writeFile(folder, "notes.txt", "first line\nsecond – line\n"));
    EXPECT_EQ(text.content, Content::text);
    EXPECT_EQ(text.text, QString::fromUtf8("first line\nsecond – line\n"));
    EXPECT_FALSE(text.textTruncated);

    const PreviewWindow::Preview binary = PreviewWindow::load(writeFile(folder, "data.bin", QByteArray("\x7f" "ELF\0\0\1", 7)));
    EXPECT_EQ(binary.content, Content::card);
    EXPECT_TRUE(binary.exists);
    EXPECT_EQ(binary.size, 7);
    EXPECT_FALSE(binary.kind.isEmpty());

    const PreviewWindow::Preview folderCard = PreviewWindow::load(folder.path());
    EXPECT_EQ(folderCard.content, Content::card);
    EXPECT_TRUE(folderCard.isDirectory);
    EXPECT_EQ(folderCard.kind, QStringLiteral("Folder"));

    const PreviewWindow::Preview gone = PreviewWindow::load(folder.filePath("gone.txt"));
    EXPECT_EQ(gone.content, Content::card);
    EXPECT_FALSE(gone.exists);
}

TEST_F(PreviewLoadTest, OnlyTheBeginningOfALongTextAndLargeImagesScaledDown)
{
    const PreviewWindow::Preview text
        = PreviewWindow::load(writeFile(folder, "long.txt", QByteArray(PreviewWindow::TEXT_LIMIT * 3, 'a')));
    EXPECT_EQ(text.text.size(), PreviewWindow::TEXT_LIMIT);
    EXPECT_TRUE(text.textTruncated);

    const PreviewWindow::Preview wide = PreviewWindow::load(writeImage(folder, "wide.png", QSize(4096, 64)));
    EXPECT_EQ(wide.image.size(), QSize(PreviewWindow::MAX_IMAGE_SIDE, 32));

    // A text in another encoding is still shown.
    const PreviewWindow::Preview latin = PreviewWindow::load(writeFile(folder, "latin.txt", "caf\xe9\n"));
    EXPECT_EQ(latin.content, PreviewWindow::Content::text);
    EXPECT_EQ(latin.text, QString::fromUtf8("café\n"));

    // A picture whose name says image but whose bytes are not one gives a card.
    const PreviewWindow::Preview broken = PreviewWindow::load(writeFile(folder, "broken.png", "not a picture"));
    EXPECT_EQ(broken.content, PreviewWindow::Content::card);
}

class PreviewTest : public FileTableFixture {
protected:
    void SetUp() override
    {
        FileTableFixture::SetUp();
        imagePath = writeImage(folder, "photo.png", QSize(40, 30));
        textPath = writeFile(folder, "notes.txt", "hello preview\n");
        otherPath = writeFile(folder, "archive.bin", QByteArray("\0\1\2\3", 4));
        fill({ settled(makeFile(imagePath)), settled(makeFile(textPath)), settled(makeFile(otherPath)) });
        controller = std::make_unique<TableViewController>();
        window.resize(800, 400);
        controller->view()->setParent(&window);
        window.show();
        TestEnvironment::drainEvents();
    }
    void TearDown() override
    {
        if (PreviewWindow* preview = quickLook().previewWindow())
            preview->hide();
        controller->view()->setParent(nullptr);
        controller.reset();
        FileTableFixture::TearDown();
    }
    static QuickLookController& quickLook() { return QuickLookController::shared(); }
    void select(int row)
    {
        controller->fileTableView()->selectionModel()->select(controller->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        controller->fileTableView()->setCurrentIndex(controller->model()->index(row, 1));
        TestEnvironment::drainEvents();
    }
    bool shows(PreviewWindow::Content content)
    {
        return TestEnvironment::processEventsUntil([&] {
            PreviewWindow* preview = quickLook().previewWindow();
            return preview && !preview->isLoading() && preview->content() == content;
        });
    }

    QTemporaryDir folder;
    QString imagePath, textPath, otherPath;
    QWidget window;
    std::unique_ptr<TableViewController> controller;
};

TEST_F(PreviewTest, SpaceTogglesThePreviewAndItFollowsTheSelection)
{
    select(0);
    controller->fileTableView()->setFocus();
    QTest::keyClick(controller->fileTableView(), Qt::Key_Space);
    TestEnvironment::drainEvents();
    ASSERT_TRUE(quickLook().isPreviewVisible());
    ASSERT_TRUE(shows(PreviewWindow::Content::image));
    PreviewWindow* preview = quickLook().previewWindow();
    EXPECT_EQ(preview->path(), imagePath);
    EXPECT_FALSE(preview->imageView()->pixmap().isNull());
    EXPECT_EQ(preview->parentWidget(), &window); // a tool window of the table's window

    select(1);
    ASSERT_TRUE(shows(PreviewWindow::Content::text));
    EXPECT_EQ(preview->textView()->toPlainText(), QStringLiteral("hello preview\n"));

    select(2);
    ASSERT_TRUE(shows(PreviewWindow::Content::card));
    EXPECT_TRUE(preview->card()->isVisible());
    EXPECT_TRUE(preview->openButton()->isEnabled());
    EXPECT_FALSE(preview->cardKind()->text().isEmpty());

    // Space in the preview closes it; arrow keys there move the table's selection.
    QTest::keyClick(preview, Qt::Key_Up);
    TestEnvironment::drainEvents();
    EXPECT_EQ(controller->selectedRow(), 1);
    ASSERT_TRUE(shows(PreviewWindow::Content::text));
    QTest::keyClick(preview, Qt::Key_Space);
    EXPECT_FALSE(quickLook().isPreviewVisible());
}

TEST_F(PreviewTest, WhileClosedTheSelectionIsOnlyRemembered)
{
    select(1);
    ASSERT_TRUE(quickLook().previewedFile());
    EXPECT_EQ(quickLook().previewedFile()->sourceUrl(), QUrl::fromLocalFile(textPath));
    EXPECT_FALSE(quickLook().isPreviewVisible());
    controller->quickLookAction(nullptr);
    TestEnvironment::drainEvents();
    ASSERT_TRUE(shows(PreviewWindow::Content::text));
    controller->quickLookAction(nullptr);
    TestEnvironment::drainEvents();
    EXPECT_FALSE(quickLook().isPreviewVisible());
}

TEST_F(PreviewTest, AnOlderReadNeverReplacesTheFileAskedForLast)
{
    select(0);
    controller->quickLookAction(nullptr);
    TestEnvironment::drainEvents();
    PreviewWindow* preview = quickLook().previewWindow();
    ASSERT_NE(preview, nullptr);
    // Three files asked for at once: only the last one's preview is shown.
    preview->setPath(imagePath);
    preview->setPath(otherPath);
    preview->setPath(textPath);
    ASSERT_TRUE(shows(PreviewWindow::Content::text));
    TestEnvironment::drainEvents();
    EXPECT_EQ(preview->content(), PreviewWindow::Content::text);
    EXPECT_EQ(preview->path(), textPath);
}
