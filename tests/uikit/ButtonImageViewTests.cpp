// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "uikit/AppStyle.h"
#include "uikit/ButtonImageView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Sets the accent for one test and restores the palette after.
class ButtonImage : public ::testing::Test {
protected:
    void SetUp() override { m_saved = QApplication::palette(); }
    void TearDown() override { QApplication::setPalette(m_saved); }
    static void useAccent(const QColor& accent)
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Highlight, accent);
        palette.setColor(QPalette::HighlightedText, Qt::white);
        QApplication::setPalette(palette);
    }

    // What the view paints, without any window background.
    static QImage painted(ButtonImageView& view)
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

private:
    QPalette m_saved;
};

TEST_F(ButtonImage, accessibilityTextsFollowLabelAndStyle)
{
    struct Case {
        std::optional<QString> label;
        std::optional<QString> subLabel;
        std::optional<ButtonStyle> style;
        QString description;
        QString id;
        // What a screen reader says: words, not the identifier text.
        QString spoken;
    };
    const QList<Case> cases {
        { "Insert", std::nullopt, ButtonStyle::unselectedEnabled, "Insert::unselectedEnabled", "ButtonImageView", "Insert" },
        { "Insert", std::nullopt, ButtonStyle::none, "Insert::", "ButtonImageView", "Insert" },
        { "Insert", std::nullopt, std::nullopt, "Insert::none", "ButtonImageView", "Insert" },
        { "Replace", "File", ButtonStyle::selectedEnabled, "Replace:File:selectedEnabled", "ButtonImageView",
            "Replace, File, selected" },
        { "Trim", "Path", ButtonStyle::selectedDisabled, "Trim:Path:selectedDisabled", "ButtonImageView",
            "Trim, Path, selected, disabled" },
        { "add", std::nullopt, ButtonStyle::add, "add::add", "AddButtonImageView", "Add" },
        { std::nullopt, std::nullopt, ButtonStyle::add, "::add", "ButtonImageView", "Add" },
    };
    for (const Case& c : cases) {
        ButtonImageView view;
        view.setLabel(c.label);
        view.setSubLabel(c.subLabel);
        view.setButtonStyle(c.style);
        EXPECT_EQ(view.accessibilityDescription(), c.description);
        EXPECT_EQ(view.accessibleName(), c.spoken);
        EXPECT_EQ(view.objectName(), c.id);
    }
}

TEST_F(ButtonImage, textsContrastWithTheFill)
{
    ButtonImageView view;
    useAccent(QColor(0, 100, 220));
    view.setButtonStyle(ButtonStyle::selectedEnabled);
    EXPECT_EQ(view.textColor(), QColor(Qt::white)) << "the usual accents take the selected text colour";
    view.setButtonStyle(ButtonStyle::unselectedEnabled);
    EXPECT_EQ(view.textColor(), QColor(Qt::black)) << "the accent blended 95 % with white";
    view.setButtonStyle(ButtonStyle::selectedDisabled);
    EXPECT_EQ(view.textColor(), QColor(Qt::white)) << "luminance 0.388";
    useAccent(QColor(250, 250, 200));
    view.setButtonStyle(ButtonStyle::selectedEnabled);
    EXPECT_EQ(view.textColor(), QColor(Qt::black)) << "a very light accent";
}

TEST_F(ButtonImage, theTabSitsBottomLeftWhateverTheSize)
{
    useAccent(QColor(0, 100, 220));
    for (const QSize size : { QSize(68, 74), QSize(120, 110) }) {
        ButtonImageView view;
        view.resize(size);
        view.setButtonStyle(ButtonStyle::selectedEnabled);
        const QImage picture = painted(view);
        const int middle = size.height() - 8 - 32;
        EXPECT_GT(qAlpha(picture.pixel(32, middle)), 200) << "inside the tab";
        EXPECT_EQ(qAlpha(picture.pixel(3, middle)), 0) << "in the notch on the left";
        EXPECT_EQ(qAlpha(picture.pixel(32, size.height() - 8 - 64 - 3)), 0) << "above the tab";
        if (size.width() > 70)
            EXPECT_EQ(qAlpha(picture.pixel(100, middle)), 0) << "right of the point";

        // Without a style only a faint outline: the inside stays clear.
        view.setButtonStyle(std::nullopt);
        EXPECT_EQ(qAlpha(painted(view).pixel(32, middle)), 0);
    }
}

TEST_F(ButtonImage, aSelectedButtonPlacesTheSelectorLineWhenItsBarIsShown)
{
    QWidget bar;
    auto* view = new ButtonImageView(&bar);
    view->resize(68, 74);
    QSignalSpy spy(view, &ButtonImageView::updateSelectorLocation);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    view->setButtonStyle(ButtonStyle::unselectedEnabled);
    view->repaint();
    EXPECT_EQ(spy.count(), 0);
    view->setButtonStyle(ButtonStyle::selectedEnabled);
    view->repaint();
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).value<QWidget*>(), &bar);
}

TEST_F(ButtonImage, theDragPictureLeavesTheBottomStripOut)
{
    useAccent(QColor(0, 100, 220));
    ButtonImageView view;
    view.resize(68, 74);
    view.setButtonStyle(ButtonStyle::selectedEnabled);
    const QImage whole = painted(view).convertToFormat(QImage::Format_ARGB32);
    const QImage picture = view.image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(picture.size(), whole.size());
    for (int x = 0; x < 68; x += 7)
        for (int y = 0; y < 9; ++y)
            EXPECT_EQ(qAlpha(picture.pixel(x, y)), 0);
    // The picture's last row is the view 9 rows above its bottom edge.
    for (int x = 0; x < 68; x += 5)
        EXPECT_EQ(picture.pixel(x, 73), whole.pixel(x, 64)) << x;
}

} // namespace
