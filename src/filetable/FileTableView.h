// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTableView>
#include <QTimer>

class FileTableRowView;
class QMimeData;
class TableViewController;

// The file table. It takes the keyboard focus only while its controller shows
// rows, hands key presses and double clicks to the controller, answers a
// column's fitting width from it, and turns the busy spinners while any shows.
class FileTableView : public QTableView {
    Q_OBJECT
public:
    static constexpr int ROW_HEIGHT = 22;
    static constexpr int SPINNER_INTERVAL_MS = 100;
    static inline const QString EMPTY_HINT = QStringLiteral(
        "Drop files and folders here, or open them with File ▸ Open Files… (Ctrl+O) or Open Folder… (Ctrl+Shift+O).");
    static inline const QString NO_MATCH_HINT = QStringLiteral(
        "No listed file matches: View ▸ Hide Files Not Renamed (Ctrl+Shift+H) or Hide Hidden Files (Ctrl+H) hides them all.");
    // What the table says while it shows no row: nothing listed, or nothing
    // that the filters let through; empty while rows show.
    QString placeholderText() const;
    // The default row height, taller for a larger font.
    int rowHeightForFont() const;

    explicit FileTableView(QWidget* parent = nullptr);

    void setController(TableViewController* controller) { m_controller = controller; }
    TableViewController* controller() const { return m_controller; }
    FileTableRowView* rowView() const { return m_rowView; }

    bool acceptsFirstResponder() const;
    // Applies acceptsFirstResponder to the focus policy and tells a screen
    // reader the placeholder text; run after every reload.
    void updateAfterReload();
    bool isSpinning() const { return m_spinnerTimer.isActive(); }
    // The row of the last double click, -1 when it was below the rows.
    int clickedRow() const { return m_clickedRow; }

    int sizeHintForColumn(int column) const override;
    // Lays the rows out now instead of at the next event, so that the scroll bars
    // know the new row count.
    void layoutRowsNow() { executeDelayedItemsLayout(); }
    // The row a drop at a viewport position lands above; the row count below the last row.
    int dropRow(const QPoint& position) const;
    // The row the drop indicator shows above, -1 while nothing is dragged over the rows.
    int dropIndicatorRow() const { return m_dropIndicatorRow; }
    // A drop at a viewport position: rows of this table move there, files from
    // outside open. False when the drop carries neither.
    bool performDragOperation(const QMimeData* data, const QPoint& position, Qt::KeyboardModifiers modifiers,
        bool fromThisTable);

public slots:
    // Puts the names of the selected rows on the clipboard, one a line in the
    // table's order; with no row selected the clipboard keeps what it had.
    void copy();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Rows dragged within the table move; files dragged in from outside open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Entering and moving over the table accept the same drags.
    void judgeDrag(QDragMoveEvent* event);
    QPointer<TableViewController> m_controller;
    FileTableRowView* m_rowView = nullptr;
    QTimer m_spinnerTimer;
    int m_clickedRow = -1;
    int m_dropIndicatorRow = -1;

    void setDropIndicatorRow(int row);
    void paintDropIndicator();
};
