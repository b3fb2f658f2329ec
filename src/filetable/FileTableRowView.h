// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filetable/FileTableViewCell.h"

#include <QStyledItemDelegate>

#include <functional>

// Draws the rows of the file table. For every cell it draws the row's
// background and selection, then pushes the row's state into the cell (the
// emphasized background style on a selected row) and lets the text cell draw
// in the tint the data source gave it; the name columns get their icon, and a
// busy new name a spinner.
class FileTableRowView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int SPINNER_SIZE = 8;
    static constexpr int SPINNER_X = 8;
    static constexpr int SPINNER_STEPS = 8;

    explicit FileTableRowView(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The cell of one index as this row would draw it.
    static FileTableViewCell cellFor(const QStyleOptionViewItem& option, const QModelIndex& index);

    // Called for every painted cell of a file that waits for its late update.
    void setLateRowPainted(std::function<void(int row)> lateRowPainted) { m_lateRowPainted = std::move(lateRowPainted); }

    // The spinner turns one step per tick of the view's timer. A paint pass tells
    // whether any busy cell was drawn, so the timer runs only while one shows.
    void advanceSpinner() { m_spinnerPhase = (m_spinnerPhase + 1) % SPINNER_STEPS; }
    void beginPaintPass() { m_paintedBusyCell = false; }
    bool paintedBusyCell() const { return m_paintedBusyCell; }

private:
    void drawSpinner(QPainter* painter, const QRect& cellRect) const;

    std::function<void(int)> m_lateRowPainted;
    int m_spinnerPhase = 0;
    mutable bool m_paintedBusyCell = false;
};
