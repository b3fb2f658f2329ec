// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/DynamicTableView.h"

#include "core/String+titleCase.h"
#include "platform/Log.h"
#include "uikit/AppTextStyle.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

class DynamicTableModel final : public QAbstractTableModel {
public:
    explicit DynamicTableModel(DynamicTableViewBase* view)
        : QAbstractTableModel(view)
        , m_view(view)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_view->itemCount(); }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_view->columns().size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return m_view->cellText(index.row(), index.column());
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        emit m_view->cellEdited(index.row(), index.column(), value.toString());
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_view->columns().size())
            return {};
        return String::localizedTitlecased(m_view->columns().at(section));
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    DynamicTableViewBase* m_view;
};

DynamicTableViewBase::DynamicTableViewBase(QWidget* parent)
    : QWidget(parent)
    , m_headerView(new QLabel(this))
    , m_tableView(new QTableView(this))
    , m_model(new DynamicTableModel(this))
{
    m_headerView->setFont(AppTextStyle::tableSubTitleFont());
    m_headerView->setWordWrap(true);
    m_headerView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_headerView->hide();
    m_tableView->setModel(m_model);
    m_tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tableView->verticalHeader()->hide();
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_tableView->setShowGrid(false);
    m_tableView->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_headerView);
    layout->addWidget(m_tableView, 1);
    connect(m_tableView, &QTableView::clicked, this, [this](const QModelIndex& index) {
        emit clicked(index.row(), index.column());
    });
}

DynamicTableViewBase::~DynamicTableViewBase()
{
    // The table outlives this part while the window closes; the model may
    // not ask for items then.
    m_tableView->setModel(nullptr);
}

void DynamicTableViewBase::setColumns(const QStringList& columns)
{
    m_columns = columns;
    m_model->reset();
}

void DynamicTableViewBase::setTitle(const std::optional<QString>& title)
{
    m_title = title;
    m_headerView->setText(title.value_or(QString()));
    // Only an empty title hides the line; a title taken away leaves its line
    // empty, so the table does not jump up.
    m_headerView->setVisible(!title || !title->isEmpty());
}

int DynamicTableViewBase::selectedRow() const
{
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> DynamicTableViewBase::selectedRows() const
{
    QList<int> rows;
    if (const auto* selection = m_tableView->selectionModel())
        for (const QModelIndex& index : selection->selectedRows())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool DynamicTableViewBase::isValidRow(int row) const
{
    return row >= 0 && row < m_model->rowCount();
}

bool DynamicTableViewBase::isValidColumn(int column) const
{
    return column >= 0 && column < m_model->columnCount();
}

std::optional<std::pair<int, int>> DynamicTableViewBase::rowColumn(const QWidget* control) const
{
    QWidget* viewport = m_tableView->viewport();
    if (!control || (control != viewport && !viewport->isAncestorOf(control)))
        return std::nullopt;
    const QPoint center = control->mapTo(viewport, control->rect().center());
    const QModelIndex index = m_tableView->indexAt(center);
    if (!isValid(index.row(), index.column()))
        return std::nullopt;
    return std::make_pair(index.row(), index.column());
}

void DynamicTableViewBase::selectField(int row, int column)
{
    if (!isValid(row, column))
        return;
    const QModelIndex index = m_model->index(row, column);
    m_tableView->scrollTo(index);
    m_tableView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The editor opens once the current event is done, so a key that moved
    // here does not reach the new cell.
    QPointer<DynamicTableViewBase> self(this);
    QTimer::singleShot(0, m_tableView, [self, row, column] {
        if (self)
            self->makeFirstResponder(row, column, FOCUS_RETRIES);
    });
}

void DynamicTableViewBase::makeFirstResponder(int row, int column, int retryCount)
{
    // The cell can take the focus once the table is on screen; a panel that
    // is still being shown gets a little time.
    if (isValid(row, column) && m_tableView->isVisible()) {
        m_tableView->setFocus(Qt::OtherFocusReason);
        m_tableView->edit(m_model->index(row, column));
        return;
    }
    if (retryCount >= 1) {
        QPointer<DynamicTableViewBase> self(this);
        QTimer::singleShot(FOCUS_RETRY_INTERVAL_MS, this, [self, row, column, retryCount] {
            if (self)
                self->makeFirstResponder(row, column, retryCount - 1);
        });
        return;
    }
    Log::error(Log::Category::ui,
        "DynamicTableView: Could not find a cell view at (row: %ld, column: %ld) to make first responder.",
        qint64(row), qint64(column));
}

bool DynamicTableViewBase::isChanged(size_t hash)
{
    if (m_currentHash == hash)
        return false;
    m_currentHash = hash;
    return true;
}

void DynamicTableViewBase::applyItems(std::optional<int> selectingRow)
{
    const QList<int> previousRows = selectedRows();
    const int previous = previousRows.isEmpty() ? -1 : previousRows.first();
    m_model->reset();
    m_tableView->setVisible(itemCount() > 0);
    const int row = selectingRow ? *selectingRow : previous >= 0 ? previous : 0;
    if (isValid(row, 0)) {
        selectField(row, 0);
        return;
    }
    // A row past the end: the reset dropped the selection, which stays as it was.
    QItemSelectionModel* selection = m_tableView->selectionModel();
    for (const int kept : previousRows)
        if (isValidRow(kept))
            selection->select(m_model->index(kept, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (isValidRow(previous))
        selection->setCurrentIndex(m_model->index(previous, 0), QItemSelectionModel::NoUpdate);
}

bool DynamicTableViewBase::eventFilter(QObject* watched, QEvent* event)
{
    // A click on no row and no column: the empty area below the rows.
    if (watched == m_tableView->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (!m_tableView->indexAt(press->position().toPoint()).isValid())
            emit clicked(-1, -1);
    }
    return QWidget::eventFilter(watched, event);
}
