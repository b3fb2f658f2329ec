// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AppStyle.h"
#include "uikit/AppTextStyle.h"
#include "uikit/Appearance.h"
#include "uikit/AppearanceColor.h"
#include "uikit/QColor+contrast.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QPalette paletteWith(const QColor& window, const QColor& base, const QColor& accent = QColor(0, 100, 220))
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Highlight, accent);
    return palette;
}

// Switches the application palette for one test and restores it after.
class Colours : public ::testing::Test {
protected:
    void SetUp() override { m_saved = QApplication::palette(); }
    void TearDown() override { QApplication::setPalette(m_saved); }

    static void useLight(const QColor& accent = QColor(0, 100, 220))
    {
        QApplication::setPalette(paletteWith(QColor(236, 236, 236), Qt::white, accent));
    }
    static void useDark(const QColor& accent = QColor(0, 100, 220))
    {
        QApplication::setPalette(paletteWith(QColor(40, 40, 40), QColor(30, 30, 30), accent));
    }

private:
    QPalette m_saved;
};

const QColor LIGHT(250, 10, 10);
const QColor DARK(10, 10, 250);

} // namespace

TEST_F(Colours, DarkIsDecidedByWindowAndBaseLightness)
{
    EXPECT_FALSE(Appearance::isDarkMode(paletteWith(QColor(236, 236, 236), Qt::white)));
    EXPECT_TRUE(Appearance::isDarkMode(paletteWith(QColor(40, 40, 40), QColor(30, 30, 30))));
    // A light text area in a dark frame is not a dark appearance.
    EXPECT_FALSE(Appearance::isDarkMode(paletteWith(QColor(40, 40, 40), Qt::white)));
}

TEST_F(Colours, AppearanceColorFollowsThePaletteBetweenReads)
{
    const AppearanceColor both(LIGHT, DARK);
    useLight();
    EXPECT_EQ(both.appearanceColor(), LIGHT);
    EXPECT_DOUBLE_EQ(both.redF(), LIGHT.redF());
    useDark();
    EXPECT_EQ(both.appearanceColor(), DARK);
    EXPECT_DOUBLE_EQ(both.redF(), DARK.redF());
}

TEST_F(Colours, AMissingVariantFallsBackToTheOtherAndNoneToBlack)
{
    struct Case {
        std::optional<QColor> light;
        std::optional<QColor> dark;
        QColor inLight;
        QColor inDark;
    };
    const Case cases[] = {
        { LIGHT, std::nullopt, LIGHT, LIGHT },
        { std::nullopt, DARK, DARK, DARK },
        { std::nullopt, std::nullopt, Qt::black, Qt::black },
    };
    for (const Case& c : cases) {
        const AppearanceColor color(c.light, c.dark);
        useLight();
        EXPECT_EQ(color.appearanceColor(), c.inLight);
        useDark();
        EXPECT_EQ(color.appearanceColor(), c.inDark);
    }
}

TEST_F(Colours, WithAlphaComponentKeepsBothVariants)
{
    const AppearanceColor faded = AppearanceColor(LIGHT, DARK).withAlphaComponent(0.5);
    useLight();
    EXPECT_EQ(faded.appearanceColor().rgb(), LIGHT.rgb());
    EXPECT_NEAR(faded.alphaF(), 0.5, 0.01);
    useDark();
    EXPECT_EQ(faded.appearanceColor().rgb(), DARK.rgb());
    EXPECT_NEAR(faded.alphaF(), 0.5, 0.01);
    EXPECT_FALSE(AppearanceColor(LIGHT, std::nullopt).withAlphaComponent(0.5).dark().has_value());
}

TEST_F(Colours, AWidgetResolvesAgainstItsOwnPalette)
{
    useLight();
    QWidget view;
    view.setPalette(paletteWith(QColor(40, 40, 40), QColor(30, 30, 30)));
    EXPECT_EQ(AppearanceColor(LIGHT, DARK).appearanceColor(&view), DARK);
    EXPECT_TRUE(Appearance::isDarkMode(&view));
    EXPECT_NE(AppStyle::darkBackgroundColor(&view), AppStyle::darkBackgroundColor(nullptr));
}

TEST(ColorContrast, ContrastColorSwitchesToBlackAboveHalfLuminance)
{
    EXPECT_EQ(ColorContrast::contrastColor(Qt::white), QColor(Qt::black));
    EXPECT_EQ(ColorContrast::contrastColor(Qt::black), QColor(Qt::white));
    // 0.99 x 0.5 = 0.495: not above 0.5.
    EXPECT_EQ(ColorContrast::contrastColor(QColor::fromRgbF(0.5f, 0.5f, 0.5f)), QColor(Qt::white));
    EXPECT_NEAR(ColorContrast::luminance(QColor::fromRgbF(1.0f, 0.0f, 0.0f)), 0.33, 1e-6);
    EXPECT_NEAR(ColorContrast::luminance(QColor::fromRgbF(0.0f, 0.0f, 1.0f)), 0.16, 1e-6);
    EXPECT_NEAR(ColorContrast::contrast(Qt::white, Qt::black), (0.99 + 0.05) / 0.05, 1e-6);
}

TEST_F(Colours, AccentDerivedColoursFollowTheAccent)
{
    useLight(QColor(0, 0, 0));
    EXPECT_EQ(AppStyle::accentColor(), QColor(0, 0, 0));
    // 60 per cent white over black.
    EXPECT_NEAR(AppStyle::tokenBackgroundColor().redF(), 0.6, 0.01);
    EXPECT_EQ(AppStyle::tokenFontColor(), QColor(Qt::black));
    EXPECT_NEAR(AppStyle::controlUnselectedColor().greenF(), 0.95, 0.01);

    useLight(QColor(0, 0, 180));
    EXPECT_EQ(AppStyle::tokenSelectedBackgroundColor(), QColor(0, 0, 180));
}

TEST_F(Colours, SelectedTokenTextContrastsAVeryLightAccent)
{
    useLight(QColor(250, 250, 250));
    EXPECT_EQ(AppStyle::tokenSelectedFontColor(), QColor(Qt::black));
    useLight(QColor(0, 60, 200));
    EXPECT_EQ(AppStyle::tokenSelectedFontColor(), QApplication::palette().color(QPalette::HighlightedText));
}

TEST_F(Colours, HighlightedAccentAndDisabledRedDependOnTheAppearance)
{
    useLight(QColor(0, 0, 0));
    EXPECT_NEAR(AppStyle::controlHighlightedAccentColor().redF(), 0.1, 0.01);
    const AppearanceColor disabled = AppStyle::controlUnselectedDisabledColor();
    const QColor lightRed = disabled;
    useDark(QColor(0, 0, 0));
    EXPECT_NEAR(AppStyle::controlHighlightedAccentColor().redF(), 0.3, 0.01);
    const QColor darkRed = disabled;
    EXPECT_NE(lightRed, darkRed);
    EXPECT_GT(lightRed.greenF(), darkRed.greenF()); // lifted further towards white
}

TEST_F(Colours, TableTextFollowsThePalette)
{
    useLight();
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Text, QColor(1, 2, 3));
    QApplication::setPalette(palette);
    EXPECT_EQ(AppStyle::tableTextNormal(), QColor(1, 2, 3));
    // Red, darkened as far as the rows' background needs for text.
    const QColor error = AppStyle::tableTextError();
    EXPECT_EQ(error.hue(), 0);
    EXPECT_GE(ColorContrast::ratio(error, palette.color(QPalette::Base)), 4.5);
}

TEST(AppTextStyle, FontsAndFormats)
{
    EXPECT_EQ(AppTextStyle::tableRowBold().font().pointSizeF(), 13.0);
    EXPECT_EQ(AppTextStyle::tableRowBold().font().weight(), QFont::Bold);
    EXPECT_TRUE(AppTextStyle::strikethrough().fontStrikeOut());
    EXPECT_TRUE(AppTextStyle::hyperlink().fontUnderline());
    EXPECT_EQ(AppTextStyle::compactParagraph().bottomMargin(), 4.0);
    EXPECT_EQ(AppTextStyle::monoSpacedFont().pointSizeF(), AppTextStyle::largeFontSize());
    EXPECT_EQ(AppTextStyle::tableSubTitleFont().pointSizeF(), AppTextStyle::largeFontSize());
    EXPECT_EQ(AppTextStyle::tableSubTitleFont().weight(), QFont::DemiBold);
}
