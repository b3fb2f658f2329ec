// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "engine/RenamePlanItem.h"
#include "filetable/InspectorPanelItem.h"
#include "files/File.h"

#include <QList>
#include <QUuid>
#include <QWidget>

#include <optional>

class FileDataSource;
class QLabel;
class QStandardItemModel;
class QTableView;
class QTextBrowser;
class QToolButton;
class Transformers;

// The file inspector of the side panel: the selected file's name, its names and
// paths and every attribute it has, the validation messages of its new name,
// and behind a disclosure button the name after each rule. Activating an
// attribute row inserts its token into the focused token field.
//
// Attributes and the rename plan are worked out off the main thread. Every
// reload takes a new ticket; a result that comes back for an older ticket
// (another file, or the same file before a change) is never shown.
class FileDetailsViewController : public QWidget {
    Q_OBJECT
public:
    enum class MessageIcon { pending, ok, warning, error };
    struct MessageLine {
        MessageIcon icon;
        QString text;
        bool operator==(const MessageLine&) const = default;
    };

    explicit FileDetailsViewController(QWidget* parent = nullptr);
    ~FileDetailsViewController() override;

    // What the inspector shows of a file.
    static QString title(const File& file);
    static QList<InspectorPanelItem> nameAndPathItems(const File& file);
    // The file's attributes in catalog order; attributes no catalog entry names are left out.
    static QList<InspectorPanelItem> attributeItems(const File& file);
    static QList<MessageLine> transformationMessages(const File& file);

    QLabel* fileNameTitle() const { return m_fileNameTitle; }
    QLabel* renamingErrorsLabel() const { return m_renamingErrorsLabel; }
    QTextBrowser* transformationErrors() const { return m_transformationErrors; }
    QTableView* tableView() const { return m_tableView; }
    QTableView* renamePlanTableView() const { return m_renamePlanTableView; }
    QToolButton* renamePlanDisclosure() const { return m_renamePlanDisclosure; }
    QToolButton* closeButton() const { return m_closeButton; }

    const std::optional<File>& currentFile() const { return m_currentFile; }
    const QList<InspectorPanelItem>& fileDetails() const { return m_fileDetails; }
    const QList<RenamePlanItem>& renamePlan() const { return m_renamePlan; }
    // Attribute or rename-plan work still out for the current ticket.
    int pendingLoads() const { return m_pendingLoads; }

    // Shows the file, only while the inspector is placed and shown.
    void updateFileInspectorFor(const std::optional<File>& file);
    void dataSourceUpdated();
    // Posts the token of the selected attribute row.
    void selectedToken();
    void clearFileData();
    void reloadFileDetails();
    void renamePlanDisclosureAction();
    void closeButtonAction();

private:
    bool isShown() const;
    void initTableViews();
    void populateFileDetailsArrayController(const File& file);
    void setFileDetails(QList<InspectorPanelItem> items);
    void loadAttributes(const File& file);
    void populateRenamePlanArrayController(const File& file);
    void setRenamePlan(QList<RenamePlanItem> rows);
    void populateTransformationErrors(const File& file);
    void setMessages(const QList<MessageLine>& lines);

    Inject<FileDataSource> m_fileDataSource;
    Inject<Transformers> m_transformers;
    QLabel* m_fileNameTitle;
    QToolButton* m_closeButton;
    QLabel* m_renamingErrorsLabel;
    QTextBrowser* m_transformationErrors;
    QStandardItemModel* m_fileDetailsModel;
    QTableView* m_tableView;
    QStandardItemModel* m_renamePlanModel;
    QTableView* m_renamePlanTableView;
    QToolButton* m_renamePlanDisclosure;

    std::optional<File> m_currentFile;
    QList<InspectorPanelItem> m_fileDetails;
    QList<RenamePlanItem> m_renamePlan;
    QUuid m_shownFileId;
    quint64 m_ticket = 0;
    int m_pendingLoads = 0;
};
