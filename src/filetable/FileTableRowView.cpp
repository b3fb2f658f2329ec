// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableRowView.h"

#include "filetable/FileTableColumn.h"
#include "filetable/FileTableModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <cmath>
#include <numbers>

namespace {
constexpr int ROW_HEIGHT = 22;
}

FileTableRowView::FileTableRowView(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

FileTableViewCell FileTableRowView::cellFor(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    FileTableViewCell cell;
    const QVariant tint = index.data(FileTableModel::TintRole);
    if (tint.isValid())
        cell.tint = static_cast<FileTableTextTint>(tint.toInt());
    cell.backgroundStyle = option.state.testFlag(QStyle::State_Selected) ? FileTableViewCell::BackgroundStyle::emphasized
                                                                          : FileTableViewCell::BackgroundStyle::normal;
    return cell;
}

void FileTableRowView::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Background and selection first, without the item's own text or icon.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const FileTableViewCell cell = cellFor(option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const auto column = FileTableColumns::fromRawValue(index.column());
    if (column && !FileTableColumns::isPathColumn(*column))
        cell.drawIconLabel(painter, option.rect, option.font, index.data(Qt::DecorationRole).value<QIcon>(), text);
    else
        cell.draw(painter, option.rect, option.font, text);

    if (index.data(FileTableModel::BusyRole).toBool()) {
        m_paintedBusyCell = true;
        drawSpinner(painter, option.rect);
    }
    if (m_lateRowPainted && index.data(FileTableModel::LateUpdateRole).toBool())
        m_lateRowPainted(index.row());
}

QSize FileTableRowView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), ROW_HEIGHT));
    return size;
}

void FileTableRowView::drawSpinner(QPainter* painter, const QRect& cellRect) const
{
    const QRectF box(cellRect.left() + SPINNER_X, cellRect.top() + (cellRect.height() - SPINNER_SIZE) / 2.0,
        SPINNER_SIZE, SPINNER_SIZE);
    const QPointF centre = box.center();
    const QColor ink = QApplication::palette().color(QPalette::Active, QPalette::Text);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    for (int step = 0; step < SPINNER_STEPS; ++step) {
        const double angle = 2.0 * std::numbers::pi * step / SPINNER_STEPS;
        // The spoke at the current phase is the darkest, the ones behind it fade.
        const int age = (m_spinnerPhase - step + SPINNER_STEPS) % SPINNER_STEPS;
        QColor color = ink;
        color.setAlphaF(1.0 - 0.8 * age / SPINNER_STEPS);
        painter->setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter->drawLine(centre + direction * (SPINNER_SIZE * 0.22), centre + direction * (SPINNER_SIZE * 0.5));
    }
    painter->restore();
}
