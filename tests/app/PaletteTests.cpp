// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "Palettes.h"
#include "filetable/AttributedStringIcon.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/SegmentedControl.h"
#include "ruleui/SelectorLineView.h"
#include "uikit/AppStyle.h"
#include "ruleui/TransformViewController.h"
#include "uikit/Appearance.h"
#include "uikit/QColor+contrast.h"
#include "ruleui/TransformViewDialogController.h"
#include "uikit/HyperlinkTextField.h"

#include <QImage>
#include <QToolButton>

namespace {

// The mean lightness of the drawn (opaque) pixels of an icon.
int inkLightness(const QIcon& icon, const QSize& size = QSize(16, 16))
{
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200) {
                sum += pixel.lightness();
                ++count;
            }
        }
    return count ? int(sum / count) : -1;
}

} // namespace

// Drawings made in the palette's colours are drawn again after a switch to a dark palette.
class PaletteTest : public AppTest {
protected:
    Palettes::Restore restore;
};

TEST_F(PaletteTest, StatusIconsFollowThePalette)
{
    QApplication::setPalette(QApplication::style()->standardPalette());
    const int light = inkLightness(AttributedStringIcon::file());
    ASSERT_GE(light, 0);
    EXPECT_LT(light, 128) << "dark ink on a light palette";
    QApplication::setPalette(Palettes::dark());
    EXPECT_GT(inkLightness(AttributedStringIcon::file()), 128) << "light ink on a dark palette";
    EXPECT_GT(inkLightness(AttributedStringIcon::filePending()), 128);
    EXPECT_EQ(inkLightness(AttributedStringIcon::fileOK()), inkLightness(AttributedStringIcon::fileOK()))
        << "an icon of fixed colours is the same drawing";
}

TEST_F(PaletteTest, TheDescriptionIconAndLinksFollowThePalette)
{
    QApplication::setPalette(QApplication::style()->standardPalette());
    makeWindow();
    window->show();
    TestEnvironment::drainEvents();
    const auto editor = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(editor);
    QToolButton* description = nullptr;
    for (QToolButton* button : editor->findChildren<QToolButton*>())
        if (button->accessibleName() == "Description")
            description = button;
    ASSERT_NE(description, nullptr);
    HyperlinkTextField link(QStringLiteral("Help"), QStringLiteral("https://example.org"), window.get());
    const QColor lightLink = link.palette().color(QPalette::WindowText);
    EXPECT_EQ(lightLink, QApplication::palette().color(QPalette::Link));
    const int lightInk = inkLightness(description->icon(), QSize(18, 18));
    EXPECT_LT(lightInk, 128);

    QApplication::setPalette(Palettes::dark());
    TestEnvironment::drainEvents();
    EXPECT_GT(inkLightness(description->icon(), QSize(18, 18)), 128);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), Palettes::dark().color(QPalette::Link));
}

TEST_F(PaletteTest, UnselectedRuleButtonsAreReadableInLightAndDarkPalettes)
{
    makeWindow();
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    ASSERT_TRUE(transformers);
    QList<Transformer> rules(2, Transformer::newTransformer());
    rules[1].id = Transformer::newId();
    transformers->load(rules);
    transformers->selectTransformerAt(0);
    window->show();
    TestEnvironment::drainEvents();
    const auto ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
    for (const QPalette& palette : { QApplication::style()->standardPalette(), Palettes::dark() }) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        ButtonCollectionViewItem* unselected = ruleBar->buttonViewController()->collectionView()->item(1);
        ASSERT_NE(unselected, nullptr);
        ASSERT_EQ(unselected->style(), ButtonStyle::unselectedEnabled);
        const QImage image = unselected->grab().toImage();
        // The face's colour beside the label, then the label's ink that stands out from it.
        const QColor face = image.pixelColor(image.width() / 8, image.height() / 2);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (std::max(ColorContrast::contrast(pixel, face), ColorContrast::contrast(face, pixel)) >= 3.0)
                    ++ink;
            }
        EXPECT_GT(ink, 20) << (Appearance::isDarkMode(palette) ? "dark" : "light");
    }
}

TEST_F(PaletteTest, TableTextReadsAtLeastAtFourAndAHalfToOneInLightAndDarkPalettes)
{
    // A theme whose disabled text is faint, as some dark themes give it.
    QPalette faint = Palettes::dark();
    faint.setColor(QPalette::Disabled, QPalette::Text, QColor(0x4a, 0x4a, 0x4a));
    QPalette faintLight = QApplication::style()->standardPalette();
    faintLight.setColor(QPalette::Disabled, QPalette::Text, QColor(0xbe, 0xbe, 0xbe));
    const std::pair<const char*, QPalette> palettes[] = {
        { "light", QApplication::style()->standardPalette() }, { "dark", Palettes::dark() },
        { "dark, faint disabled text", faint }, { "light, faint disabled text", faintLight } };
    const auto ratio = [](const QColor& a, const QColor& b) { return ColorContrast::ratio(a, b); };
    for (const auto& [name, palette] : palettes) {
        QApplication::setPalette(palette);
        const std::pair<const char*, QColor> texts[] = { { "name", AppStyle::tableTextNormal() },
            { "unchanged name", AppStyle::tableTextLight() }, { "error", AppStyle::tableTextError() },
            { "warning", AppStyle::tableTextWarning() } };
        for (const auto& [kind, colour] : texts)
            for (QPalette::ColorRole background : { QPalette::Base, QPalette::AlternateBase })
                EXPECT_GE(ratio(colour, palette.color(background)), 4.5) << name << ": " << kind;
        EXPECT_NE(AppStyle::tableTextLight(), AppStyle::tableTextNormal()) << name << ": unchanged names stay dimmer";

        // Selected rows lie on the highlight colour.
        const QColor selection = palette.color(QPalette::Active, QPalette::Highlight);
        const std::pair<const char*, QColor> selected[] = { { "unchanged name", AppStyle::tableTextLightSelected() },
            { "error", AppStyle::tableTextErrorSelected() }, { "warning", AppStyle::tableTextWarningSelected() } };
        for (const auto& [kind, colour] : selected)
            EXPECT_GE(ratio(colour, selection), 4.5) << name << ": selected " << kind << " " << colour.name().toStdString();
        EXPECT_NE(AppStyle::tableTextErrorSelected(), AppStyle::tableTextWarningSelected())
            << name << ": a selected error is not drawn as a warning";
        EXPECT_GT(AppStyle::tableTextErrorSelected().red(), AppStyle::tableTextErrorSelected().green()) << name << ": errors stay red";
    }
}

TEST_F(PaletteTest, TheAddSignStandsOutAndTogglesDifferByMoreThanColour)
{
    makeWindow();
    window->show();
    TestEnvironment::drainEvents();
    const auto ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
    const auto editor = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(ruleBar && editor);
    for (const QPalette& palette : { QApplication::style()->standardPalette(), Palettes::dark() }) {
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        ButtonCollectionView* buttons = ruleBar->buttonViewController()->collectionView();
        ButtonCollectionViewItem* add = buttons->item(buttons->numberOfItems() - 1);
        ASSERT_NE(add, nullptr);
        ASSERT_EQ(add->style(), ButtonStyle::add);
        const QImage image = add->grab().toImage();
        const QColor background = palette.color(QPalette::Window);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (ColorContrast::ratio(pixel, background) >= 3.0)
                    ++ink;
            }
        EXPECT_GT(ink, 40) << (Appearance::isDarkMode(palette) ? "dark" : "light") << ": the add sign at 3:1";

        SegmentedControl* scope = editor->scopeSegmentedControl();
        scope->setSelectedSegment(1);
        EXPECT_NE(scope->segment(1)->font().bold(), scope->segment(0)->font().bold())
            << "a checked toggle differs from an unchecked one in more than colour";
    }
}

// The rule editor stands apart on its shaded background, the rule bar's notch
// is filled with that colour, and the chosen scope carries the accent colour.
TEST_F(PaletteTest, TheRuleEditorIsShadedAndItsScopeAccentedInLightAndDarkPalettes)
{
    makeWindow();
    window->show();
    TestEnvironment::drainEvents();
    const auto editor = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(editor);
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= 24;
    };
    for (const QPalette& palette : { QApplication::style()->standardPalette(), Palettes::dark() }) {
        SCOPED_TRACE(Appearance::isDarkMode(palette) ? "dark" : "light");
        QApplication::setPalette(palette);
        TestEnvironment::drainEvents();
        const QColor shade = AppStyle::darkBackgroundColor(editor.get());
        EXPECT_NE(shade.rgb(), palette.color(QPalette::Window).rgb());
        EXPECT_EQ(SelectorLineView::notchColor(editor.get()).rgb(), shade.rgb());
        // A translucent shade is laid over the window's colour.
        const QColor window = palette.color(QPalette::Window);
        const qreal alpha = shade.alphaF();
        const QColor laid = QColor::fromRgbF(shade.redF() * alpha + window.redF() * (1 - alpha),
            shade.greenF() * alpha + window.greenF() * (1 - alpha), shade.blueF() * alpha + window.blueF() * (1 - alpha));
        const QImage background = editor->grab(QRect(1, editor->height() - 2, 1, 1)).toImage();
        EXPECT_TRUE(near(background.pixelColor(0, 0), laid)) << background.pixelColor(0, 0).name().toStdString();

        SegmentedControl* scope = editor->scopeSegmentedControl();
        scope->setSelectedSegment(2);
        TestEnvironment::drainEvents();
        const auto middle = [](QToolButton* segment) {
            return segment->grab().toImage().pixelColor(segment->width() / 2, 2);
        };
        const QColor accent = AppStyle::toggleOnColor(scope);
        EXPECT_TRUE(near(middle(scope->segment(2)), accent)) << middle(scope->segment(2)).name().toStdString();
        EXPECT_FALSE(near(middle(scope->segment(0)), accent)) << middle(scope->segment(0)).name().toStdString();
        // The label's ink on the accent reads at 4.5:1.
        const QImage checked = scope->segment(2)->grab().toImage();
        qreal best = 0;
        for (int y = 0; y < checked.height(); ++y)
            for (int x = 0; x < checked.width(); ++x)
                best = std::max(best, ColorContrast::ratio(checked.pixelColor(x, y), accent));
        EXPECT_GE(best, 4.5);
    }
}
