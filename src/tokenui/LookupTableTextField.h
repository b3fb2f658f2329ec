// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QStyledItemDelegate>

#include <functional>

// The text field of one cell of the lookup table, in the fixed-pitch font.
class LookupTableTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit LookupTableTextField(QWidget* parent = nullptr);
};

// Edits the lookup table's cells in LookupTableTextFields. Up, Down, Tab and
// Backtab in a cell commit it and hand the move to the owner instead of the
// table's own handling.
class LookupTableCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Move { up, down, next, previous };
    using MoveHandler = std::function<void(Move move, int row, int column)>;

    explicit LookupTableCellDelegate(MoveHandler moveHandler, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MoveHandler m_moveHandler;
};
