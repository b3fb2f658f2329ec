// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/AppNotification+Typed.h"
#include "core/UserInputBlockObserver.h"
#include "filetable/FileTableFilter.h"
#include "filetable/FileTableHeaderView.h"
#include "filetable/FileTableView.h"
#include "filetable/LateUpdateRequester.h"
#include "files/File.h"
#include "files/TransformScope.h"
#include "platform/Notification.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class FileDataSource;
class FileTableModel;
class QAction;
class QKeyEvent;
class QMimeData;

// The controller of the file table: it keeps the rows in step with the file list
// store through notifications and turns the user's gestures into notifications
// (selection, double click, Space, Delete) and the table's menu commands into
// filter changes. One instance lives in the registry for the whole run.
class TableViewController : public QObject {
    Q_OBJECT
public:
    using Filter = FileTableFilter;

    // The menu keeps the name of each item's action in this property.
    static constexpr const char* MENU_SELECTOR_PROPERTY = "selector";

    explicit TableViewController(QObject* parent = nullptr);
    ~TableViewController() override;

    // The controller's widget, built and set up on first use.
    QWidget* view();
    bool isViewLoaded() const { return m_view != nullptr; }

    // Hooks of the layers above. The engine queues a file whose preview is late;
    // the rule list answers whether a Select rule is in force. Without them no
    // file is queued and every row counts as selected.
    void setLateUpdateHook(LateUpdateRequester::Hook hook);
    void setSelectRuleInForce(std::function<bool()> selectRuleInForce);

    std::shared_ptr<FileDataSource> fileDataSource() const;
    FileTableView* fileTableView() const { return m_fileTableView; }
    FileTableHeaderView* fileTableHeaderView() const { return m_fileTableHeaderView; }
    FileTableModel* model() const { return m_model; }
    bool userInputEnabled() const { return !m_inputBlock.isBlocked(); }
    const QHash<int, qreal>& fittingColumnWidth() const { return m_fittingColumnWidth; }
    Filter& filter();
    const LateUpdateRequester& lateUpdates() const { return m_lateUpdates; }

    std::optional<File> selectedFile() const;
    // The selected row: the current row when it is selected, else the first
    // selected row, else -1.
    int selectedRow() const;

    void setColumnDefaultWidths();
    void deleteSelectedRows();
    void setSelectionToFirstSelectedRow();
    void tableViewSelectionDidChange();
    void doubleClickAction(int clickedRow);
    // True when the key was handled or dropped.
    bool keyDown(QKeyEvent* event);
    void showHidedQuickLook();

    // Data source.
    void reloadData(const std::optional<IndexSet>& rows = std::nullopt);
    void dataSourceUpdatedEvent(const Notification& notification);
    void applyChangesEvent();
    void updateFilesView();
    void recalculateFittingColumnWidths();
    qreal calculateFittingColumnWidth(int column) const;
    qreal sizeToFitWidthOfColumn(int column) const;
    int numberOfRows() const;

    // Menu commands; `sender` is the menu item.
    Q_INVOKABLE void deleteFiles(QObject* sender);
    Q_INVOKABLE void quickLookAction(QObject* sender);
    Q_INVOKABLE void hideNotRenamedFilesMenuHandler(QObject* sender);
    Q_INVOKABLE void hideHiddenFilesMenuHandler(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item) const;

    // CSV export of the new names in the current rule's scope.
    Q_INVOKABLE void exportFilesToCsv(QObject* sender);
    // False, after the log line and the alert, when the file could not be written.
    bool saveFileListToCsv(const QString& path, TransformScope scope);
    static QString csvText(const QList<File>& files, TransformScope scope);

    // Row drag and drop: `row` is the table row the rows are dropped above
    // (the row count: below the last row).
    void initDragDrop();
    static QList<int> getDraggedIndexes(const QMimeData& data);
    bool acceptDrop(const QMimeData& data, int row);
    // The undoable move "Drag N files" of the table rows to the drop row.
    void doMoveRows(const QList<int>& rows, int row);
    // Reloads and selects the rows of the files with these storage indexes.
    void selectFiles(const QSet<int>& storageIndexes);

private:
    void loadView();
    void viewDidLoad();
    bool storeHasFiles() const;
    // Brings the late-update requests, fitting widths and focus up to date.
    void afterReload();

    QPointer<QWidget> m_view;
    FileTableModel* m_model = nullptr;
    // The window owns the widgets and may destroy them before the registry lets
    // the controller go.
    QPointer<FileTableView> m_fileTableView;
    QPointer<FileTableHeaderView> m_fileTableHeaderView;
    UserInputBlockObserver m_inputBlock { nullptr };
    QHash<int, qreal> m_fittingColumnWidth { { 0, 0.0 }, { 1, 0.0 }, { 2, 0.0 }, { 3, 0.0 } };
    LateUpdateRequester m_lateUpdates;
};
