// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "uikit/AppImages.h"
#include "uikit/EaseUtils.h"
#include "uikit/ImageUtil.h"
#include "uikit/Layout.h"
#include "uikit/TintedView.h"
#include "uikit/ViewTree.h"
#include "uikit/ViewUtil.h"
#include "uikit/VisualEffects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(FillParentLayout, CoversTheParentAndFollowsItsSize)
{
    // Hidden widgets get their resize events when shown; show it to see them now.
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    auto* sibling = new QLabel("other", &parent);
    sibling->setGeometry(5, 5, 50, 20);
    auto* view = new QWidget(&parent);
    applyLayout(view, Layout::fillParent);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 300, 200));
    parent.resize(420, 160);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 420, 160));
    EXPECT_EQ(sibling->geometry(), QRect(5, 5, 50, 20));

    // Moved elsewhere, it no longer follows the old parent.
    QWidget other;
    view->setParent(&other);
    TestEnvironment::drainEvents();
    view->setGeometry(1, 2, 3, 4);
    parent.resize(500, 500);
    EXPECT_EQ(view->geometry(), QRect(1, 2, 3, 4));
}

TEST(FillParentLayout, AViewWithoutParentIsLeftAlone)
{
    QWidget view;
    view.setGeometry(10, 20, 30, 40);
    FillParentLayout().initLayout(&view);
    EXPECT_EQ(view.geometry(), QRect(10, 20, 30, 40));
    EXPECT_TRUE(view.children().isEmpty());
}

TEST(ViewUtil, PopulateSelectorFromAList)
{
    struct Case {
        QStringList items;
        std::optional<QString> value;
        int index;
    };
    const Case cases[] = {
        { { "a", "b" }, QString("b"), 1 },
        { { "a", "b" }, QString("c"), 0 },
        { { "x", "" }, std::nullopt, 1 },
        { { "a", "b" }, std::nullopt, 0 },
    };
    for (const Case& c : cases) {
        QComboBox selector;
        selector.addItems(c.items);
        selector.setCurrentIndex(c.items.size() - 1);
        ViewUtil::populateSelector(&selector, c.items, c.value);
        EXPECT_EQ(selector.currentIndex(), c.index) << c.value.value_or("<none>").toStdString();
    }
}

TEST(ViewUtil, PopulateSelectorFromAMapKeepsTheSelectionForAnUnknownValue)
{
    const QMap<QString, QString> titles { { "start", "Start" }, { "end", "End" } };
    QComboBox selector;
    selector.addItems({ "Start", "End" });
    ViewUtil::populateSelector(&selector, titles, QString("end"));
    EXPECT_EQ(selector.currentText(), "End");
    ViewUtil::populateSelector(&selector, titles, QString("middle"));
    EXPECT_EQ(selector.currentText(), "End");
    ViewUtil::populateSelector(&selector, QMap<QString, QString>(), QString("start"));
    EXPECT_EQ(selector.currentText(), "End");
}

TEST(ViewUtil, PopulateControlsUseTheDefaultForAnAbsentValue)
{
    QLineEdit text;
    ViewUtil::populateControl(&text, std::optional<QString>(), QString("default"));
    EXPECT_EQ(text.text(), "default");
    ViewUtil::populateControl(&text, std::optional<QString>("given"), QString("default"));
    EXPECT_EQ(text.text(), "given");
    QSpinBox number;
    number.setRange(-10, 10);
    ViewUtil::populateControl(&number, std::nullopt, 3);
    EXPECT_EQ(number.value(), 3);
    ViewUtil::populateControl(&number, -2, 3);
    EXPECT_EQ(number.value(), -2);
    QCheckBox box;
    box.setChecked(true);
    ViewUtil::populateControl(&box, std::nullopt);
    EXPECT_FALSE(box.isChecked());
    ViewUtil::populateControl(&box, true);
    EXPECT_TRUE(box.isChecked());
}

TEST(ViewUtil, MapByValueInverts)
{
    const auto inverted = ViewUtil::mapByValue({ { "Start", "start" }, { "End", "end" } });
    EXPECT_EQ(inverted, (QMap<QString, QString> { { "start", "Start" }, { "end", "End" } }));
}

TEST(ViewTree, ControlsReachTwoLevelsAndLeaveOutLabels)
{
    QWidget view;
    auto* button = new QPushButton("Go", &view);
    auto* label = new QLabel("label", &view);
    auto* group = new QGroupBox(&view);
    auto* editable = new QLineEdit(group);
    auto* readOnly = new QLineEdit(group);
    readOnly->setReadOnly(true);
    auto* inner = new QWidget(group);
    auto* deep = new QCheckBox(inner);
    const auto controls = ViewTree::controls(&view);
    EXPECT_EQ(controls, (QList<QWidget*> { button, editable }));
    EXPECT_FALSE(controls.contains(label));
    EXPECT_FALSE(controls.contains(deep));

    EXPECT_EQ(ViewTree::allSubViews(&view),
        (QList<QWidget*> { button, label, group, editable, readOnly, inner, deep }));
    EXPECT_EQ(ViewTree::child(&view, [](QWidget* w) { return qobject_cast<QCheckBox*>(w) != nullptr; }), deep);
    EXPECT_EQ(ViewTree::superview<QGroupBox>(deep), group);
    EXPECT_EQ(ViewTree::superview<QGroupBox>(group), nullptr);
}

TEST(ViewTree, AllChildrenListsChildrenBeforeGrandchildren)
{
    QObject root;
    auto* a = new QObject(&root);
    auto* b = new QObject(&root);
    auto* a1 = new QObject(a);
    auto* b1 = new QObject(b);
    EXPECT_EQ(ViewTree::allChildren(&root), (QList<QObject*> { a, b, a1, b1 }));
    EXPECT_EQ(ViewTree::child(&root, [&](QObject* o) { return o->parent() == b; }), b1);
}

TEST(ViewTree, FirstResponderIsTheFocusWidgetOfTheWindow)
{
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* second = new QPushButton(&window);
    window.show();
    first->setFocus();
    EXPECT_TRUE(ViewTree::isFirstResponder(first));
    // Neither has an identifier; that does not make them the same control.
    EXPECT_FALSE(ViewTree::isFirstResponder(second));
    QPushButton loose;
    EXPECT_FALSE(ViewTree::isFirstResponder(&loose));
}

TEST(EaseUtils, QuinticEaseInOut)
{
    struct Case {
        double t;
        double eased;
    };
    for (const Case& c : { Case { 0.0, 0.0 }, Case { 0.25, 0.015625 }, Case { 0.5, 0.5 }, Case { 0.75, 0.984375 },
             Case { 1.0, 1.0 }, Case { 1.5, 1.5 } })
        EXPECT_DOUBLE_EQ(EaseUtils::quinticEaseInOut(c.t), c.eased) << c.t;
}

TEST(ImageUtil, WithOpacityAndOfSize)
{
    QPixmap red(10, 10);
    red.fill(Qt::red);
    const QImage faded = ImageUtil::withOpacity(red, 0.5).toImage();
    EXPECT_EQ(faded.size(), QSize(10, 10));
    EXPECT_NEAR(faded.pixelColor(5, 5).alphaF(), 0.5, 0.02);
    EXPECT_EQ(faded.pixelColor(5, 5).red(), 255);
    EXPECT_TRUE(ImageUtil::withOpacity(QPixmap(), 0.5).isNull());

    EXPECT_EQ(ImageUtil::ofSize(red, QSize(4, 6)).size(), QSize(4, 6));
    EXPECT_TRUE(ImageUtil::ofSize(QPixmap(), QSize(4, 6)).isNull());
}

TEST(AppImages, EveryCatalogueNameDrawsSomething)
{
    ASSERT_EQ(AppImages::names().size(), 15);
    for (const QString& name : AppImages::names()) {
        const QImage image = AppImages::image(name).pixmap(QSize(32, 32)).toImage();
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = image.pixelColor(x, y).alpha() > 0;
        EXPECT_TRUE(drawn) << name.toStdString();
    }
    EXPECT_TRUE(AppImages::image("Column_3").isNull());
    EXPECT_EQ(AppImages::column1().name(), "Column_1");
}

TEST(TintedView, MiddleStopAndGradientDirection)
{
    EXPECT_DOUBLE_EQ(TintedView::middleStop(100), 0.8);
    EXPECT_DOUBLE_EQ(TintedView::middleStop(200), 0.8);
    EXPECT_DOUBLE_EQ(TintedView::middleStop(400), 0.9);

    VisualEffectView* panel = VisualEffects::setupVisualEffects(QColor(Qt::blue));
    panel->resize(100, 300);
    panel->show();
    EXPECT_EQ(panel->tintedView()->geometry(), QRect(0, 0, 100, 300));
    QImage image(100, 300, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    panel->tintedView()->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // Tinted most strongly along the top, clear at the bottom.
    EXPECT_GT(image.pixelColor(50, 1).alpha(), image.pixelColor(50, 150).alpha());
    EXPECT_EQ(image.pixelColor(50, 299).alpha(), 0);
    EXPECT_EQ(image.pixelColor(50, 1).blue(), 255);
    delete panel;
}
