// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AppTextStyle.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

namespace AppTextStyle {

namespace {
constexpr qreal TABLE_ROW_FONT_SIZE = 13.0;
constexpr qreal PARAGRAPH_SPACING = 4.0;
// The large control size is two points above the regular system font.
constexpr qreal LARGE_SIZE_STEP = 2.0;
}

QTextCharFormat none()
{
    return {};
}

QTextCharFormat strikethrough()
{
    QTextCharFormat format;
    format.setFontStrikeOut(true);
    return format;
}

QTextBlockFormat compactParagraph()
{
    static const QTextBlockFormat format = [] {
        QTextBlockFormat f;
        f.setLineHeight(0.0, QTextBlockFormat::LineDistanceHeight);
        f.setBottomMargin(PARAGRAPH_SPACING);
        return f;
    }();
    return format;
}

QTextCharFormat tableRowBold()
{
    static const QTextCharFormat format = [] {
        QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setPointSizeF(TABLE_ROW_FONT_SIZE);
        font.setWeight(QFont::Bold);
        QTextCharFormat f;
        f.setFont(font);
        return f;
    }();
    return format;
}

QTextCharFormat hyperlink()
{
    QTextCharFormat format;
    format.setForeground(QGuiApplication::palette().color(QPalette::Link));
    format.setFontUnderline(true);
    format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    return format;
}

qreal largeFontSize()
{
    static const qreal size = [] {
        const qreal regular = QFontDatabase::systemFont(QFontDatabase::GeneralFont).pointSizeF();
        return (regular > 0 ? regular : TABLE_ROW_FONT_SIZE) + LARGE_SIZE_STEP;
    }();
    return size;
}

QFont tableSubTitleFont()
{
    static const QFont font = [] {
        QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        f.setPointSizeF(largeFontSize());
        f.setWeight(QFont::DemiBold);
        return f;
    }();
    return font;
}

QFont monoSpacedFont()
{
    static const QFont font = [] {
        QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setPointSizeF(largeFontSize());
        return f;
    }();
    return font;
}

} // namespace AppTextStyle
