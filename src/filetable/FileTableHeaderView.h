// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filetable/FileTableColumn.h"

#include <QHeaderView>
#include <QList>

#include <initializer_list>
#include <optional>

// The header of the file table. The two path columns collapse (hidden, their
// width given to the name column of their pair) and come back (the name width
// split again); a double click on a pair's header toggles it, and the
// collapsePathColumns and uncollapsePathColumns notifications drive both pairs.
// Whether a path column is collapsed is read from the header alone.
class FileTableHeaderView : public QHeaderView {
    Q_OBJECT
public:
    static constexpr qreal COLUMN_MIN_WIDTH = 200.0;
    static constexpr qreal COLUMN_MARGIN = 4.0;

    // How the columns follow a change of the table's width: not at all while the
    // widths are written, else each visible column by the same factor.
    enum class ColumnAutoresizing { none, uniform };

    explicit FileTableHeaderView(QWidget* parent = nullptr);

    void collapsePathColumnsEvent();
    void uncollapsePathColumnsEvent();
    void iconClicked(int column);
    bool isCollapsed(std::optional<FileTableColumn> column) const;
    void collapse(std::initializer_list<FileTableColumn> columns);
    void unCollapse(std::initializer_list<FileTableColumn> columns);
    // One width per column in table order; 0 hides the column.
    void applyColumnWidths(const QList<qreal>& newColumnWidths);

    // The width arithmetic on a list of widths in table order (hidden = 0).
    static QList<qreal> collapsedWidths(const QList<qreal>& old, std::initializer_list<FileTableColumn> columns);
    static QList<qreal> uncollapsedWidths(const QList<qreal>& old, std::initializer_list<FileTableColumn> columns);

    // The current widths in table order, a hidden column counting 0.
    QList<qreal> currentColumnWidths() const;
    int minimumColumnWidth(int column) const { return m_minimumWidths.value(column, 0); }
    void setMinimumColumnWidth(int column, int width);
    ColumnAutoresizing columnAutoresizing() const { return m_columnAutoresizing; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The visible columns keep their proportions and fill `width`.
    void fitVisibleColumns(int width);
    bool hasTable() const { return model() != nullptr && count() > 0; }
    bool isOnDivider(int x) const;
    void keepMinimumWidth(int logicalIndex, int newSize);

    QList<int> m_minimumWidths;
    ColumnAutoresizing m_columnAutoresizing = ColumnAutoresizing::uniform;
};
