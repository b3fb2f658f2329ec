// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QTableView;
class DynamicTableModel;

// A table built in code under an optional title line: one column per
// identifier, editable text cells, and a list of items shown only when it
// really changed. The typed part (the items) is DynamicTableView below.
class DynamicTableViewBase : public QWidget {
    Q_OBJECT
public:
    explicit DynamicTableViewBase(QWidget* parent = nullptr);
    ~DynamicTableViewBase() override;

    // The column identifiers, in order; each titles its column.
    const QStringList& columns() const { return m_columns; }
    void setColumns(const QStringList& columns);
    // The line above the table; hidden while absent or empty.
    const std::optional<QString>& title() const { return m_title; }
    void setTitle(const std::optional<QString>& title);
    QLabel* headerView() const { return m_headerView; }
    QTableView* tableView() const { return m_tableView; }
    bool tableView(const QTableView* other) const { return other == m_tableView; }

    int selectedRow() const;
    QList<int> selectedRows() const;
    bool isValidRow(int row) const;
    bool isValidColumn(int column) const;
    bool isValid(int row, int column) const { return isValidRow(row) && isValidColumn(column); }
    // The row and column of a cell's editor (or any widget inside a cell).
    std::optional<std::pair<int, int>> rowColumn(const QWidget* control) const;
    // Scrolls to the row, selects it alone and opens the cell for typing;
    // nothing for a place outside the table. A table not on screen yet is
    // tried again a few times before the request is given up and logged.
    void selectField(int row, int column);
    static constexpr int FOCUS_RETRIES = 5;
    static constexpr int FOCUS_RETRY_INTERVAL_MS = 200;

signals:
    // The user finished editing a cell with this text.
    void cellEdited(int row, int column, const QString& text);
    // A click in the table: on a cell, or on no row and no column (-1, -1).
    void clicked(int row, int column);

protected:
    // The typed part answers these; while it is being built or torn down the
    // table is empty.
    virtual int itemCount() const { return 0; }
    virtual QString cellText(int, int) const { return QString(); }
    // Shows the items now held: the table hides while there are none; then
    // the given row, else the row selected before, else row 0 is selected.
    void applyItems(std::optional<int> selectingRow);
    // False when the list's hash equals the one last shown.
    bool isChanged(size_t hash);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DynamicTableModel;
    void makeFirstResponder(int row, int column, int retryCount);

    QStringList m_columns { QStringLiteral("defaultColumn") };
    std::optional<QString> m_title;
    QLabel* m_headerView;
    QTableView* m_tableView;
    DynamicTableModel* m_model;
    std::optional<size_t> m_currentHash;
};

template <typename Item>
class DynamicTableView : public DynamicTableViewBase {
public:
    // The text of one cell: column identifier, row and item.
    using CellProvider = std::function<QString(const QString& column, int row, const Item& item)>;

    explicit DynamicTableView(QWidget* parent = nullptr)
        : DynamicTableViewBase(parent)
    {
    }

    CellProvider cellProvider;
    const QList<Item>& items() const { return m_items; }

    // Shows the items when they differ from the list shown last (by their
    // own hashes, in order); otherwise changes nothing, not even the focus.
    void updateList(const QList<Item>& items, std::optional<int> selectingRow = std::nullopt)
    {
        if (!isChanged(hashOf(items)))
            return;
        m_items = items;
        applyItems(selectingRow);
    }

    // Takes the new value of one row that the user edited in place; the
    // table is not rebuilt (its editor may still be closing).
    void setItem(int row, const Item& item)
    {
        if (row < 0 || row >= m_items.size())
            return;
        m_items[row] = item;
        isChanged(hashOf(m_items));
    }

protected:
    int itemCount() const override { return int(m_items.size()); }
    QString cellText(int row, int column) const override
    {
        if (!cellProvider || row < 0 || row >= m_items.size() || column < 0 || column >= columns().size())
            return QString();
        return cellProvider(columns().at(column), row, m_items.at(row));
    }

private:
    static size_t hashOf(const QList<Item>& items)
    {
        size_t hash = qHash(items.size());
        for (const Item& item : items)
            hash = qHashMulti(hash, item);
        return hash;
    }

    QList<Item> m_items;
};
