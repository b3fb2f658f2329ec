// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/AttributedStringIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <optional>
#include <utility>

#include <functional>

namespace {

// Drawn at twice the size so the icons stay sharp on scaled screens.
constexpr qreal PIXEL_RATIO = 2.0;

QColor layer(const QList<QColor>& colors, int index)
{
    if (colors.isEmpty())
        return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    return colors.value(index, colors.constFirst());
}

// A symbol in a square of side s with origin at 0,0.
using SymbolPainter = std::function<void(QPainter&, qreal s, const QList<QColor>&)>;

void drawDocument(QPainter& p, qreal s, const QList<QColor>& colors)
{
    const qreal left = s * 0.2, right = s * 0.8, top = s * 0.06, bottom = s * 0.94, fold = s * 0.22;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    p.fillPath(page, layer(colors, 0));
    // The folded corner is cut out so the page reads as paper.
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    corner.closeSubpath();
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.fillPath(corner, Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void strokeCircle(QPainter& p, qreal s, const QColor& color)
{
    p.setPen(QPen(color, s * 0.09));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
}

void strokeCheckmark(QPainter& p, qreal s, const QColor& color, qreal scale = 1.0, QPointF offset = {})
{
    QPainterPath check;
    check.moveTo(offset + QPointF(s * 0.3, s * 0.52) * scale);
    check.lineTo(offset + QPointF(s * 0.45, s * 0.66) * scale);
    check.lineTo(offset + QPointF(s * 0.7, s * 0.36) * scale);
    p.setPen(QPen(color, s * 0.1 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(check);
}

void drawCheckmarkCircle(QPainter& p, qreal s, const QList<QColor>& colors)
{
    strokeCircle(p, s, layer(colors, 0));
    strokeCheckmark(p, s, layer(colors, 1));
}

void drawPlainCircle(QPainter& p, qreal s, const QList<QColor>& colors)
{
    strokeCircle(p, s, layer(colors, 0));
}

void drawCirclePath(QPainter& p, qreal s, const QList<QColor>& colors)
{
    const QColor color = layer(colors, 0);
    const QRectF ring(s * 0.18, s * 0.18, s * 0.64, s * 0.64);
    p.setPen(QPen(color, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    // Two arcs chasing each other, each ending in a head.
    p.drawArc(ring, 20 * 16, 140 * 16);
    p.drawArc(ring, 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal h = s * 0.16;
    QPolygonF head1 { QPointF(s * 0.2 - h, s * 0.42), QPointF(s * 0.2 + h, s * 0.42), QPointF(s * 0.2, s * 0.58) };
    QPolygonF head2 { QPointF(s * 0.8 - h, s * 0.58), QPointF(s * 0.8 + h, s * 0.58), QPointF(s * 0.8, s * 0.42) };
    p.drawPolygon(head1);
    p.drawPolygon(head2);
}

void drawCheckmarkWithWarningBadge(QPainter& p, qreal s, const QList<QColor>& colors)
{
    // The check mark circle in the secondary layer, a warning triangle over its
    // lower right corner in the primary one.
    const QColor badge = layer(colors, 0);
    const QColor check = layer(colors, 1);
    p.setPen(QPen(check, s * 0.09));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.7, s * 0.7));
    strokeCheckmark(p, s, check, 0.85, QPointF(-s * 0.02, -s * 0.03));
    QPainterPath triangle;
    triangle.moveTo(s * 0.75, s * 0.46);
    triangle.lineTo(s * 1.0, s * 0.96);
    triangle.lineTo(s * 0.5, s * 0.96);
    triangle.closeSubpath();
    p.fillPath(triangle, badge);
    p.setPen(QPen(Qt::white, s * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.75, s * 0.62), QPointF(s * 0.75, s * 0.8));
    p.drawPoint(QPointF(s * 0.75, s * 0.89));
}

void drawExclamationCircle(QPainter& p, qreal s, const QList<QColor>& colors)
{
    p.setPen(Qt::NoPen);
    p.setBrush(layer(colors, 1));
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    p.setPen(QPen(layer(colors, 0), s * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.26), QPointF(s * 0.5, s * 0.56));
    p.drawPoint(QPointF(s * 0.5, s * 0.74));
}

SymbolPainter symbolPainter(const QString& name)
{
    if (name == QLatin1String("doc.fill"))
        return drawDocument;
    if (name == QLatin1String("checkmark.circle"))
        return drawCheckmarkCircle;
    if (name == QLatin1String("circle"))
        return drawPlainCircle;
    if (name == QLatin1String("arrow.triangle.2.circlepath"))
        return drawCirclePath;
    if (name == QLatin1String("checkmark.circle.trianglebadge.exclamationmark"))
        return drawCheckmarkWithWarningBadge;
    if (name == QLatin1String("exclamationmark.circle.fill"))
        return drawExclamationCircle;
    return {};
}

QPixmap blankPixmap(qreal size)
{
    const int side = qMax(1, qRound(size * PIXEL_RATIO));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(PIXEL_RATIO);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawFolder(QPainter& p, qreal s)
{
    const QColor back(0x5b, 0x9b, 0xd5);
    const QColor front(0x7d, 0xb7, 0xea);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(s * 0.06, s * 0.14, s * 0.4, s * 0.2), s * 0.05, s * 0.05);
    p.fillPath(tab, back);
    QPainterPath body;
    body.addRoundedRect(QRectF(s * 0.06, s * 0.24, s * 0.88, s * 0.64), s * 0.07, s * 0.07);
    p.fillPath(body, back);
    QPainterPath flap;
    flap.addRoundedRect(QRectF(s * 0.06, s * 0.34, s * 0.88, s * 0.54), s * 0.07, s * 0.07);
    p.fillPath(flap, front);
}

QColor controlTextColor()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
}

QColor disabledControlTextColor()
{
    return QGuiApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
}

// The fixed colours of those names.
const QColor GREEN(0x28, 0xa7, 0x45);
const QColor ORANGE(0xf5, 0x8a, 0x07);
const QColor RED(0xe0, 0x24, 0x24);
const QColor WHITE(Qt::white);
const QColor BLACK(Qt::black);
const QColor DARK_GREY(0x55, 0x55, 0x55);

constexpr qreal SYMBOL_SIZE = 14.0;
constexpr qreal FOLDER_SIZE = 16.0;

} // namespace

namespace AttributedStringIcon {

QIcon iconString(const QString& symbolName, const QList<QColor>& colors, qreal pointSize)
{
    const SymbolPainter draw = symbolPainter(symbolName);
    if (!draw)
        return {};
    QPixmap pixmap = blankPixmap(pointSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, pointSize, colors);
    painter.end();
    return QIcon(pixmap);
}

QIcon imageString(const QString& imageName, qreal size, qreal alpha)
{
    QPixmap image = blankPixmap(size);
    if (imageName == FOLDER_IMAGE) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawFolder(painter, size);
    }
    QPixmap faded = blankPixmap(size);
    QPainter painter(&faded);
    painter.setOpacity(alpha);
    painter.drawPixmap(QPointF(0, 0), image);
    painter.end();
    return QIcon(faded);
}

namespace {
// An icon drawn from the palette's text colours, drawn again once they change
// (a switch to a dark palette or another theme).
class PaletteIcon {
public:
    template <typename Draw>
    const QIcon& get(Draw draw)
    {
        const std::pair<QRgb, QRgb> key { controlTextColor().rgba(), disabledControlTextColor().rgba() };
        if (!m_key || *m_key != key) {
            m_icon = draw();
            m_key = key;
        }
        return m_icon;
    }

private:
    std::optional<std::pair<QRgb, QRgb>> m_key;
    QIcon m_icon;
};
} // namespace

#define BF_ICON(name, expression)                           \
    const QIcon& name()                                     \
    {                                                       \
        static PaletteIcon icon;                            \
        return icon.get([] { return (expression); });       \
    }

BF_ICON(file, iconString(QStringLiteral("doc.fill"), { controlTextColor() }, SYMBOL_SIZE))
BF_ICON(fileUnchanged, iconString(QStringLiteral("doc.fill"), { disabledControlTextColor() }, SYMBOL_SIZE))
BF_ICON(fileOK, iconString(QStringLiteral("checkmark.circle"), { GREEN }, SYMBOL_SIZE))
BF_ICON(filePending, iconString(QStringLiteral("arrow.triangle.2.circlepath"), { controlTextColor() }, SYMBOL_SIZE))
BF_ICON(fileWarning,
    iconString(QStringLiteral("checkmark.circle.trianglebadge.exclamationmark"), { ORANGE, GREEN }, SYMBOL_SIZE))
BF_ICON(fileError, iconString(QStringLiteral("exclamationmark.circle.fill"), { WHITE, RED }, SYMBOL_SIZE))
BF_ICON(folder, imageString(FOLDER_IMAGE, FOLDER_SIZE, 1.0))
BF_ICON(folderUnchanged, imageString(FOLDER_IMAGE, FOLDER_SIZE, 0.4))
BF_ICON(checkmarkPending, iconString(QStringLiteral("circle"), { GREEN, BLACK }, SYMBOL_SIZE))
BF_ICON(checkmarkOk, iconString(QStringLiteral("checkmark.circle"), { DARK_GREY, GREEN }, SYMBOL_SIZE))
BF_ICON(exclamationWarning,
    iconString(QStringLiteral("checkmark.circle.trianglebadge.exclamationmark"), { WHITE, ORANGE }, SYMBOL_SIZE))
BF_ICON(exclamationError, iconString(QStringLiteral("exclamationmark.circle.fill"), { WHITE, RED }, SYMBOL_SIZE))

#undef BF_ICON

} // namespace AttributedStringIcon
