// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/TableViewController.h"

#include "core/DependencyInjectionRegistry.h"
#include "core/KeyCode.h"
#include "core/Preference.h"
#include "filetable/FileTableColumn.h"
#include "filetable/FileTableHeaderView.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTableRowView.h"
#include "filetable/FileTableView.h"
#include "filetable/QuickLookController.h"
#include "files/FileDataSource.h"
#include "platform/NotificationCenter.h"
#include "uikit/KeyUtils.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

TableViewController::TableViewController(QObject* parent)
    : QObject(parent)
    , m_model(new FileTableModel(this))
{
    m_model->filter = Filter { false, Preference::boolFor(PreferenceKey::renameHiddenFiles),
        Preference::boolFor(PreferenceKey::renameEmptyFolders) };
    // The preview answers the table's Space and follows its selection.
    QuickLookController::shared();
}

TableViewController::~TableViewController()
{
    delete m_view;
}

QWidget* TableViewController::view()
{
    if (!m_view) {
        loadView();
        viewDidLoad();
    }
    return m_view;
}

void TableViewController::loadView()
{
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("TableViewController"));
    auto* layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_fileTableView = new FileTableView(m_view);
    m_fileTableView->setAccessibleName(QStringLiteral("Files"));
    m_fileTableView->setAccessibleDescription(QStringLiteral("The listed files with their original and new names"));
    m_fileTableView->setController(this);
    m_fileTableHeaderView = new FileTableHeaderView(m_fileTableView);
    m_fileTableView->setHorizontalHeader(m_fileTableHeaderView);
    m_fileTableView->setModel(m_model);
    layout->addWidget(m_fileTableView);
}

void TableViewController::viewDidLoad()
{
    m_model->setFileDataSource(DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Brackenfold/TableViewController.cpp"), QStringLiteral("viewDidLoad()"), __LINE__));
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::dataSourceUpdated,
        [this](const Notification& notification) { dataSourceUpdatedEvent(notification); });
    center.addObserver(this, NotificationName::applyChanges, [this](const Notification&) { applyChangesEvent(); });

    connect(m_fileTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { tableViewSelectionDidChange(); });
    m_fileTableView->rowView()->setLateRowPainted([this](int row) {
        if (auto file = m_model->fileAt(row))
            m_lateUpdates.request(*file, LateUpdateRequester::Priority::high);
    });
    initDragDrop();
    setColumnDefaultWidths();
    reloadData();
}

void TableViewController::setLateUpdateHook(LateUpdateRequester::Hook hook)
{
    m_lateUpdates.setHook(std::move(hook));
}

void TableViewController::setSelectRuleInForce(std::function<bool()> selectRuleInForce)
{
    m_model->setSelectRuleInForce(std::move(selectRuleInForce));
}

std::shared_ptr<FileDataSource> TableViewController::fileDataSource() const
{
    return m_model->fileDataSource();
}

TableViewController::Filter& TableViewController::filter()
{
    return m_model->filter;
}

int TableViewController::selectedRow() const
{
    if (!m_fileTableView)
        return -1;
    const QItemSelectionModel* selection = m_fileTableView->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row()))
        return current.row();
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty())
        return -1;
    return std::min_element(rows.cbegin(), rows.cend(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })->row();
}

std::optional<File> TableViewController::selectedFile() const
{
    if (!m_model->hasFilesView())
        return std::nullopt;
    return m_model->fileAt(selectedRow());
}

void TableViewController::setColumnDefaultWidths()
{
    if (!m_fileTableHeaderView)
        return;
    const qreal width = m_view ? m_view->width() : 0.0;
    m_fileTableHeaderView->applyColumnWidths({ 0.0, width * 0.5, 0.0, width * 0.5 });
}

void TableViewController::tableViewSelectionDidChange()
{
    if (!m_model->hasFilesView() || !m_fileTableView)
        return;
    const int row = selectedRow();
    if (row < 0 || row >= m_model->fileCount())
        return;
    m_fileTableView->scrollTo(m_model->index(row, 0));
    AppNotification::UpdateQuickLook::post(QVariant::fromValue(*m_model->fileAt(row)));
    AppNotification::post(NotificationName::updateFileInspector);
}

void TableViewController::doubleClickAction(int clickedRow)
{
    if (clickedRow >= 0)
        AppNotification::post(NotificationName::showFileInspector);
}

bool TableViewController::keyDown(QKeyEvent* event)
{
    if (m_inputBlock.isBlocked())
        return true;
    if (KeyUtils::keyCode(*event) == KeyCode::space) {
        showHidedQuickLook();
        return true;
    }
    // Delete and Backspace remove the selected files, as the menu's Delete does.
    if (KeyUtils::hasNoModifier(KeyUtils::modifierFlags(event->modifiers()))
        && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        deleteSelectedRows();
        return true;
    }
    return false;
}

void TableViewController::quickLookAction(QObject*)
{
    showHidedQuickLook();
}

void TableViewController::showHidedQuickLook()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_model->fileCount())
        return;
    AppNotification::ShowHideQuickLook::post(QVariant::fromValue(*m_model->fileAt(row)), m_fileTableView);
}

void TableViewController::deleteFiles(QObject*)
{
    deleteSelectedRows();
}

void TableViewController::deleteSelectedRows()
{
    if (!m_fileTableView)
        return;
    QModelIndexList rows = m_fileTableView->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QSet<int> storageIndexes;
    if (m_model->hasFilesView()) {
        for (const QModelIndex& row : std::as_const(rows)) {
            const auto file = m_model->fileAt(row.row());
            if (file && file->index)
                storageIndexes.insert(static_cast<int>(*file->index));
        }
    }
    setSelectionToFirstSelectedRow();
    AppNotification::RemoveFiles::post(storageIndexes);
}

void TableViewController::setSelectionToFirstSelectedRow()
{
    if (!m_fileTableView)
        return;
    QItemSelectionModel* selection = m_fileTableView->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty()) {
        selection->clearSelection();
        return;
    }
    const int first = std::min_element(rows.cbegin(), rows.cend(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })->row();
    selection->select(m_model->index(first, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool TableViewController::storeHasFiles() const
{
    const auto& store = m_model->fileDataSource();
    return store && !store->orderedIndex().isEmpty();
}

bool TableViewController::validateMenuItem(QAction* item) const
{
    if (!item)
        return false;
    const QString selector = item->property(MENU_SELECTOR_PROPERTY).toString();
    if (selector == QLatin1String("delete:"))
        return m_fileTableView && m_fileTableView->selectionModel()->hasSelection();
    if (selector == QLatin1String("hideNotRenamedFilesMenuHandler:")) {
        item->setChecked(m_model->filter.toBeChanged);
        return storeHasFiles();
    }
    if (selector == QLatin1String("hideHiddenFilesMenuHandler:")) {
        item->setChecked(!m_model->filter.hiddenFiles);
        return storeHasFiles();
    }
    if (selector == QLatin1String("exportFilesToCsv:"))
        return storeHasFiles();
    // The preview of the selected file, as Space gives it.
    if (selector == QLatin1String("quickLookAction:"))
        return selectedRow() >= 0;
    return false;
}
