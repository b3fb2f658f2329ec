// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/AppImages.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPalette>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace AppImages {

namespace {

const QString MAGNIFYINGGLASS_1 = QStringLiteral("1.magnifyingglass");
const QString ARROW_ADD = QStringLiteral("ArrowButton_add");
const QString ARROW_BLUE = QStringLiteral("ArrowButton_blue");
const QString ARROW_GREY = QStringLiteral("ArrowButton_grey");
const QString ARROW_LIGHTRED = QStringLiteral("ArrowButton_lightred");
const QString ARROW_RED = QStringLiteral("ArrowButton_red");
const QString COLUMN_1 = QStringLiteral("Column_1");
const QString COLUMN_2 = QStringLiteral("Column_2");
const QString DOC_ICON = QStringLiteral("DocIcon");
const QString ELLIPSIS = QStringLiteral("ellipsis");
const QString PLUS = QStringLiteral("plus");
const QString PLUS_CIRCLE = QStringLiteral("plus.circle");
const QString SQUARE_AND_ARROW_UP = QStringLiteral("square.and.arrow.up");
const QString APP_ICON = QStringLiteral("brackenfold-icon");
const QString XMARK = QStringLiteral("xmark");
// Status marks of lists, drawn so that no font has to hold them.
const QString LOCK = QStringLiteral("lock");
const QString WARNING = QStringLiteral("exclamationmark.triangle");
const QString CHECKMARK = QStringLiteral("checkmark");

// Symbols are drawn in the text colour of the palette; the arrow buttons and
// the application icon carry their own colours.
QColor symbolColor()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

// The rule buttons: a rounded tab with a pointed right end.
void drawArrowButton(QPainter& p, const QColor& fill, bool withPlus)
{
    QPainterPath path;
    path.moveTo(4, 14);
    path.lineTo(74, 14);
    path.lineTo(92, 50);
    path.lineTo(74, 86);
    path.lineTo(4, 86);
    path.closeSubpath();
    p.setPen(QPen(fill.darker(130), 2));
    p.setBrush(fill);
    p.drawPath(path);
    if (withPlus) {
        p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(40, 34), QPointF(40, 66));
        p.drawLine(QPointF(24, 50), QPointF(56, 50));
    }
}

void drawColumns(QPainter& p, int highlighted)
{
    p.setPen(QPen(symbolColor(), 5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10, 18, 80, 64), 8, 8);
    p.drawLine(QPointF(50, 18), QPointF(50, 82));
    p.setBrush(symbolColor());
    p.setPen(Qt::NoPen);
    p.drawRect(highlighted == 1 ? QRectF(12, 20, 38, 60) : QRectF(50, 20, 38, 60));
}

void drawMagnifyingGlass(QPainter& p)
{
    p.setPen(QPen(symbolColor(), 8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(42, 42), 28, 28);
    p.drawLine(QPointF(63, 63), QPointF(88, 88));
    QFont font;
    font.setPixelSize(32);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(14, 14, 56, 56), Qt::AlignCenter, QStringLiteral("1"));
}

void drawDocument(QPainter& p)
{
    QPainterPath page;
    page.moveTo(20, 6);
    page.lineTo(62, 6);
    page.lineTo(82, 26);
    page.lineTo(82, 94);
    page.lineTo(20, 94);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x8e, 0x8e, 0x93), 3));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(62, 6), QPointF(62, 26));
    p.drawLine(QPointF(62, 26), QPointF(82, 26));
    p.setPen(QPen(QColor(0x1e, 0x7a, 0x3c), 5, Qt::SolidLine, Qt::RoundCap));
    for (int y : { 44, 58, 72 })
        p.drawLine(QPointF(32, y), QPointF(70, y));
}

void drawAppIcon(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x6b, 0x3a));
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 20, 20);
    // A fern frond: a curved stem with leaflets getting shorter towards the tip.
    p.setPen(QPen(QColor(0xd8, 0xf0, 0xc8), 5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath stem;
    stem.moveTo(50, 88);
    stem.cubicTo(48, 60, 52, 36, 64, 14);
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    for (int i = 0; i < 5; ++i) {
        const qreal t = 0.15 + i * 0.17;
        const QPointF at = stem.pointAtPercent(t);
        const qreal length = 26 - i * 4;
        p.drawLine(at, at + QPointF(-length, -length * 0.5));
        p.drawLine(at, at + QPointF(length, -length * 0.5));
    }
}

void drawSymbol(QPainter& p, const QString& name)
{
    const QPen line(symbolColor(), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (name == MAGNIFYINGGLASS_1) {
        drawMagnifyingGlass(p);
    } else if (name == ARROW_ADD) {
        drawArrowButton(p, QColor(0x34, 0xa8, 0x53), true);
    } else if (name == ARROW_BLUE) {
        drawArrowButton(p, QColor(0x1a, 0x73, 0xe8), false);
    } else if (name == ARROW_GREY) {
        drawArrowButton(p, QColor(0xb0, 0xb0, 0xb5), false);
    } else if (name == ARROW_LIGHTRED) {
        drawArrowButton(p, QColor(0xf2, 0x9b, 0x96), false);
    } else if (name == ARROW_RED) {
        drawArrowButton(p, QColor(0xd9, 0x36, 0x2b), false);
    } else if (name == COLUMN_1) {
        drawColumns(p, 1);
    } else if (name == COLUMN_2) {
        drawColumns(p, 2);
    } else if (name == DOC_ICON) {
        drawDocument(p);
    } else if (name == ELLIPSIS) {
        p.setPen(Qt::NoPen);
        p.setBrush(symbolColor());
        for (int x : { 22, 50, 78 })
            p.drawEllipse(QPointF(x, 50), 8, 8);
    } else if (name == PLUS || name == PLUS_CIRCLE) {
        p.setPen(line);
        if (name == PLUS_CIRCLE) {
            p.drawEllipse(QPointF(50, 50), 42, 42);
            p.drawLine(QPointF(50, 30), QPointF(50, 70));
            p.drawLine(QPointF(30, 50), QPointF(70, 50));
        } else {
            p.drawLine(QPointF(50, 14), QPointF(50, 86));
            p.drawLine(QPointF(14, 50), QPointF(86, 50));
        }
    } else if (name == SQUARE_AND_ARROW_UP) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        QPainterPath box;
        box.moveTo(36, 40);
        box.lineTo(18, 40);
        box.lineTo(18, 92);
        box.lineTo(82, 92);
        box.lineTo(82, 40);
        box.lineTo(64, 40);
        p.drawPath(box);
        p.drawLine(QPointF(50, 8), QPointF(50, 64));
        p.drawLine(QPointF(34, 24), QPointF(50, 8));
        p.drawLine(QPointF(66, 24), QPointF(50, 8));
    } else if (name == APP_ICON) {
        drawAppIcon(p);
    } else if (name == LOCK) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(30, 10, 40, 44), 0, 180 * 16);
        p.drawLine(QPointF(30, 32), QPointF(30, 44));
        p.drawLine(QPointF(70, 32), QPointF(70, 44));
        p.setPen(Qt::NoPen);
        p.setBrush(symbolColor());
        p.drawRoundedRect(QRectF(18, 44, 64, 48), 8, 8);
    } else if (name == WARNING) {
        QPainterPath triangle;
        triangle.moveTo(50, 8);
        triangle.lineTo(94, 90);
        triangle.lineTo(6, 90);
        triangle.closeSubpath();
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawPath(triangle);
        p.drawLine(QPointF(50, 38), QPointF(50, 62));
        p.drawPoint(QPointF(50, 77));
    } else if (name == CHECKMARK) {
        p.setPen(QPen(symbolColor(), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({ QPointF(14, 54), QPointF(38, 80), QPointF(86, 20) }));
    } else if (name == XMARK) {
        p.setPen(line);
        p.drawLine(QPointF(20, 20), QPointF(80, 80));
        p.drawLine(QPointF(80, 20), QPointF(20, 80));
    }
}

// Draws one catalogue image on a 100 x 100 grid scaled into the asked rectangle.
class CatalogIconEngine final : public QIconEngine {
public:
    explicit CatalogIconEngine(QString name)
        : m_name(std::move(name))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate((rect.width() - side) / 2, (rect.height() - side) / 2);
        painter->scale(side / 100.0, side / 100.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        drawSymbol(*painter, m_name);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new CatalogIconEngine(m_name); }
    QString key() const override { return QStringLiteral("CatalogIconEngine"); }
    QString iconName() override { return m_name; }

private:
    QString m_name;
};

} // namespace

const QStringList& names()
{
    static const QStringList all { MAGNIFYINGGLASS_1, ARROW_ADD, ARROW_BLUE, ARROW_GREY, ARROW_LIGHTRED,
        ARROW_RED, COLUMN_1, COLUMN_2, DOC_ICON, ELLIPSIS, PLUS, PLUS_CIRCLE, SQUARE_AND_ARROW_UP, APP_ICON,
        XMARK };
    return all;
}

QIcon image(const QString& name)
{
    if (!names().contains(name))
        return {};
    return QIcon(new CatalogIconEngine(name));
}

QIcon _1Magnifyingglass() { return image(MAGNIFYINGGLASS_1); }
QIcon arrowButtonAdd() { return image(ARROW_ADD); }
QIcon arrowButtonBlue() { return image(ARROW_BLUE); }
QIcon arrowButtonGrey() { return image(ARROW_GREY); }
QIcon arrowButtonLightred() { return image(ARROW_LIGHTRED); }
QIcon arrowButtonRed() { return image(ARROW_RED); }
QIcon column1() { return image(COLUMN_1); }
QIcon column2() { return image(COLUMN_2); }
QIcon docIcon() { return image(DOC_ICON); }
QIcon ellipsis() { return image(ELLIPSIS); }
QIcon plus() { return image(PLUS); }
QIcon plusCircle() { return image(PLUS_CIRCLE); }
QIcon squareAndArrowUp() { return image(SQUARE_AND_ARROW_UP); }
QIcon brackenfoldIcon() { return image(APP_ICON); }
QIcon xmark() { return image(XMARK); }

QIcon lock() { return QIcon(new CatalogIconEngine(LOCK)); }
QIcon warning() { return QIcon(new CatalogIconEngine(WARNING)); }
QIcon checkmark() { return QIcon(new CatalogIconEngine(CHECKMARK)); }

} // namespace AppImages
