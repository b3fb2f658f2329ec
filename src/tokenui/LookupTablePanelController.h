// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ChangeTracker.h"
#include "tokenui/LookupTableItem.h"
#include "tokenui/LookupTableTextField.h"
#include "uikit/DynamicTableView.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QToolButton;
class Transformers;

// The editor of the Conversion rule's lookup table, shown in the side panel.
// It always works on the document's current rule: it loads that rule's table
// when shown or told to, keeps the edits in its rows, and writes them back
// into the rule (without an undo step of its own) when their content changed.
// The table is imported from and exported to "find;replace" CSV files.
class LookupTablePanelController : public QWidget, public ChangeTrackerHashable {
    Q_OBJECT
public:
    // Without a rule list given, the registry's is used, looked up at every read.
    explicit LookupTablePanelController(Transformers* transformers = nullptr, QWidget* parent = nullptr);
    ~LookupTablePanelController() override;

    // The export of the file list offered in the export menu, when the
    // application has one.
    static void setFileListExport(std::function<void()> exportFiles);

    DynamicTableView<LookupTableItem>* lookupTable() const { return m_lookupTable; }
    QToolButton* exportButton() const { return m_exportButton; }
    QToolButton* addButton() const { return m_addButton; }
    QToolButton* removeButton() const { return m_removeButton; }
    QToolButton* importButton() const { return m_importButton; }
    QToolButton* closeButton() const { return m_closeButton; }
    const QList<LookupTableItem>& lookupData() const { return m_lookupData; }
    const std::optional<QString>& currentTransformerId() const { return m_currentTransformerId; }

    qint64 currentHash() const override;

    void load();
    void save();
    // A cell's text changed (its editing ended).
    void onChange(int row, int column, const QString& text);
    void selectRowUp(int row, int column);
    void selectRowDown(int row, int column);
    void selectNextField(int row, int column);
    void selectPreviousField(int row, int column);
    void addRow();
    void insertRows(const QList<LookupTableItem>& rows, int index);
    void removeRows(const QList<int>& rows);
    void onLookupTableAction(int row, int column);

    // The rows that are not empty as "find;replace" lines.
    QString csvContent() const;
    // The export menu: the file list's export when there is one, then the table's.
    QMenu* exportMenu();
    // True when written; otherwise the user has been told why.
    bool exportLookupTableToCsv(const QString& path);
    // Replaces the rows with those of a CSV file; true when it could be read.
    bool importRows(const QString& path);
    // The rows of a CSV file, or why there are none. Touches no widget, so a
    // worker reads the file while the window goes on.
    struct ImportedRows {
        QList<LookupTableItem> rows;
        QString failure;
    };
    static ImportedRows readRows(const QString& path);

    void exportCsv();
    void importRowsAction();
    // Reads the file on a worker, then shows its rows in the rule it was
    // chosen for; a rule left in between keeps its table.
    void importRowsInBackground(const QString& path);
    void exportLookupTableToCsvAction();
    void closeButtonAction();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Shows imported rows, or tells the user why there are none.
    bool applyImportedRows(const QString& path, const ImportedRows& imported);
    Transformers* transformers() const;
    bool isCurrentRuleLoaded() const;
    void showRows(std::optional<int> selectingRow);

    QPointer<Transformers> m_transformers;
    DynamicTableView<LookupTableItem>* m_lookupTable;
    QToolButton* m_addButton;
    QToolButton* m_removeButton;
    QToolButton* m_importButton;
    QToolButton* m_exportButton;
    QToolButton* m_closeButton;
    QMenu* m_exportMenu = nullptr;
    QList<LookupTableItem> m_lookupData;
    std::unique_ptr<ChangeTracker> m_changesTracker;
    std::optional<QString> m_currentTransformerId;
};
