// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/LookupTablePanelController.h"

#include "core/AppNotification+Typed.h"
#include "core/UndoManager+perform.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/String+csv.h"
#include "core/String+encoding.h"
#include "platform/BackgroundPool.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "platform/RegularFile.h"
#include "rules/TransformScope+description.h"
#include "rules/Transformers.h"
#include "files/FileDataSource.h"
#include "uikit/Alert.h"
#include "uikit/FileDialogFolder.h"
#include "uikit/ViewUtil.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPointer>
#include <QMenu>
#include <QSaveFile>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Where the import and export dialogs start: the folder of the opened files.
QString openedFolder()
{
    const auto dataSource = DependencyInjectionRegistry::get<FileDataSource>(
        QStringLiteral("Brackenfold/LookupTablePanelController.cpp"), QStringLiteral("openedFolder()"), __LINE__);
    return dataSource ? dataSource->openedFolder() : QString();
}

const QString FIND_COLUMN = QStringLiteral("Find");
const QString REPLACE_COLUMN = QStringLiteral("Replace");
// A lookup table is a few thousand rows at most; a larger file is no table.
constexpr qint64 MAX_IMPORT_SIZE = 16 * 1024 * 1024;

std::function<void()>& fileListExport()
{
    static std::function<void()> exportFiles;
    return exportFiles;
}

QToolButton* makeButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& text, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ViewUtil::describe(button, name);
    return button;
}

void post(const QString& name, const QString& function)
{
    AppNotification::post(name, {}, std::nullopt, function);
}
} // namespace

LookupTablePanelController::LookupTablePanelController(Transformers* transformers, QWidget* parent)
    : QWidget(parent)
    , m_transformers(transformers)
    , m_lookupTable(new DynamicTableView<LookupTableItem>(this))
    , m_addButton(makeButton(this, QStyle::SP_FileDialogNewFolder, QStringLiteral("Add"), QStringLiteral("Add rows")))
    , m_removeButton(makeButton(this, QStyle::SP_TrashIcon, QStringLiteral("Remove"), QStringLiteral("Remove the selected rows")))
    , m_importButton(makeButton(this, QStyle::SP_DialogOpenButton, QStringLiteral("Import…"), QStringLiteral("Import a CSV file")))
    , m_exportButton(makeButton(this, QStyle::SP_DialogSaveButton, QStringLiteral("Export"), QStringLiteral("Export to CSV")))
    , m_closeButton(makeButton(this, QStyle::SP_TitleBarCloseButton, QString(), QStringLiteral("Close the lookup table")))
{
    m_closeButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_lookupTable->setColumns({ FIND_COLUMN, REPLACE_COLUMN });
    m_lookupTable->cellProvider = [](const QString& column, int, const LookupTableItem& item) {
        return column == FIND_COLUMN ? item.find : column == REPLACE_COLUMN ? item.replace : QString();
    };
    m_lookupTable->tableView()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lookupTable->tableView()->setAccessibleName(QStringLiteral("Lookup table"));
    m_lookupTable->tableView()->setItemDelegate(new LookupTableCellDelegate(
        [this](LookupTableCellDelegate::Move move, int row, int column) {
            switch (move) {
            case LookupTableCellDelegate::Move::up: selectRowUp(row, column); break;
            case LookupTableCellDelegate::Move::down: selectRowDown(row, column); break;
            case LookupTableCellDelegate::Move::next: selectNextField(row, column); break;
            case LookupTableCellDelegate::Move::previous: selectPreviousField(row, column); break;
            }
        },
        m_lookupTable));

    auto* title = new QLabel(QStringLiteral("Lookup Table"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* header = new QHBoxLayout;
    header->addWidget(title, 1);
    header->addWidget(m_closeButton);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* button : { m_addButton, m_removeButton, m_importButton, m_exportButton })
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(header);
    column->addWidget(m_lookupTable, 1);
    column->addLayout(buttons);

    connect(m_lookupTable, &DynamicTableViewBase::cellEdited, this, &LookupTablePanelController::onChange);
    connect(m_lookupTable, &DynamicTableViewBase::clicked, this, &LookupTablePanelController::onLookupTableAction);
    connect(m_addButton, &QToolButton::clicked, this, &LookupTablePanelController::addRow);
    connect(m_removeButton, &QToolButton::clicked, this, [this] { removeRows(m_lookupTable->selectedRows()); });
    connect(m_importButton, &QToolButton::clicked, this, &LookupTablePanelController::importRowsAction);
    connect(m_exportButton, &QToolButton::clicked, this, &LookupTablePanelController::exportCsv);
    connect(m_closeButton, &QToolButton::clicked, this, &LookupTablePanelController::closeButtonAction);

    m_changesTracker = std::make_unique<ChangeTracker>(*this);
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::updateLookupTable, [this](const Notification&) { load(); });
    center.addObserver(this, NotificationName::transformButtonUpdated, [this](const Notification&) { load(); });
    center.addObserver(this, NotificationName::transformButtonSave, [this](const Notification&) { save(); });
}

LookupTablePanelController::~LookupTablePanelController()
{
    // A panel deleted while it shows gets no hide event of its own: its
    // edits go back to the rule here.
    save();
    // An open cell commits while the window goes, after this part is gone.
    disconnect(m_lookupTable, nullptr, this, nullptr);
}

void LookupTablePanelController::setFileListExport(std::function<void()> exportFiles)
{
    fileListExport() = std::move(exportFiles);
}

Transformers* LookupTablePanelController::transformers() const
{
    if (m_transformers)
        return m_transformers;
    return Inject<Transformers>().get().get();
}

qint64 LookupTablePanelController::currentHash() const
{
    size_t hash = 0;
    for (const LookupTableItem& item : m_lookupData)
        if (!item.isEmpty())
            hash = qHashMulti(hash, item.find, item.replace);
    return qint64(hash);
}

void LookupTablePanelController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        load();
}

void LookupTablePanelController::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    save();
    m_currentTransformerId.reset();
    m_lookupData.clear();
}

void LookupTablePanelController::showRows(std::optional<int> selectingRow)
{
    m_lookupTable->updateList(m_lookupData, selectingRow);
}

void LookupTablePanelController::load()
{
    Transformers* list = transformers();
    const auto id = list ? list->currentTransformerId() : std::nullopt;
    const auto rule = id ? list->transformer(*id) : std::nullopt;
    if (!rule || rule->type != TransformerType::conversion) {
        post(NotificationName::hideLookupTable, QStringLiteral("load()"));
        return;
    }
    // The table shown so far goes back to its own rule first; the rows then
    // come from the rule as it is after that save.
    save();
    const Transformer current = list->transformer(*id).value_or(*rule);
    m_currentTransformerId = current.id;
    m_lookupData.clear();
    for (const QStringList& row : current.properties.conversionLookup.value_or(QList<QStringList>())) {
        LookupTableItem item(row.value(0), row.value(1));
        if (!item.isEmpty())
            m_lookupData << item;
    }
    if (m_lookupData.isEmpty())
        m_lookupData << LookupTableItem();
    m_lookupTable->setTitle(current.description);
    m_changesTracker->update();
    showRows(std::nullopt);
}

void LookupTablePanelController::save()
{
    if (!m_currentTransformerId || !m_changesTracker->isChanged())
        return;
    Transformers* list = transformers();
    auto rule = list ? list->transformer(*m_currentTransformerId) : std::nullopt;
    if (!rule || rule->type != TransformerType::conversion)
        return;
    const Transformer oldValue = *rule;
    QList<QStringList> table;
    for (const LookupTableItem& item : std::as_const(m_lookupData))
        table << QStringList { item.find, item.replace };
    rule->properties.conversionLookup = table;
    rule->description = m_lookupTable->title();
    // An undo step of its own: otherwise undoing an earlier edit of the rule
    // would bring back its old table and lose these rows without a trace.
    // Undo and redo show the rule again, which reloads this table.
    QPointer<Transformers> target(list);
    auto reselect = [id = rule->id] { AppNotification::SelectTransformer::post(id); };
    UndoManagerHelpers::perform(QStringLiteral("Update Lookup Table"),
        [target, updated = *rule] { if (target) target->addOrReplaceTransformer(updated); },
        [target, oldValue, reselect] { if (target) { target->addOrReplaceTransformer(oldValue); reselect(); } },
        [target, updated = *rule, reselect] { if (target) { target->addOrReplaceTransformer(updated); reselect(); } });
    m_changesTracker->update();
}

void LookupTablePanelController::onChange(int row, int column, const QString& text)
{
    if (row < 0 || row >= m_lookupData.size())
        return;
    LookupTableItem& item = m_lookupData[row];
    if (column == 0)
        item.find = text;
    else if (column == 1)
        item.replace = text;
    else
        return;
    m_lookupTable->setItem(row, item);
    if (m_changesTracker->isChanged())
        post(NotificationName::transformButtonSave, QStringLiteral("onChange(_:)"));
}

void LookupTablePanelController::selectRowUp(int row, int column)
{
    if (row < 0 || row >= m_lookupData.size())
        return;
    m_lookupTable->selectField(row - 1, column);
}

void LookupTablePanelController::selectRowDown(int row, int column)
{
    if (row < 0 || row >= m_lookupData.size())
        return;
    if (row == m_lookupData.size() - 1)
        addRow();
    else
        m_lookupTable->selectField(row + 1, column);
}

void LookupTablePanelController::selectNextField(int row, int column)
{
    if (row < 0 || row >= m_lookupData.size())
        return;
    if (column == 0)
        m_lookupTable->selectField(row, 1);
    else if (row == m_lookupData.size() - 1)
        addRow();
    else
        m_lookupTable->selectField(row + 1, 0);
}

void LookupTablePanelController::selectPreviousField(int row, int column)
{
    if (row < 0 || row >= m_lookupData.size())
        return;
    if (column == 1)
        m_lookupTable->selectField(row, 0);
    else if (row >= 1)
        m_lookupTable->selectField(row - 1, 1);
}

bool LookupTablePanelController::isCurrentRuleLoaded() const
{
    Transformers* list = transformers();
    return m_currentTransformerId == (list ? list->currentTransformerId() : std::nullopt);
}

void LookupTablePanelController::addRow()
{
    const QList<int> selected = m_lookupTable->selectedRows();
    // A selection left from a table no longer shown never inserts past the end.
    const int index = selected.isEmpty() ? int(m_lookupData.size()) : std::min(int(m_lookupData.size()), selected.last() + 1);
    const int count = std::max<int>(1, int(selected.size()));
    insertRows(QList<LookupTableItem>(count), index);
}

void LookupTablePanelController::insertRows(const QList<LookupTableItem>& rows, int index)
{
    if (!isCurrentRuleLoaded() || rows.isEmpty())
        return;
    index = std::clamp(index, 0, int(m_lookupData.size()));
    for (int i = 0; i < rows.size(); ++i)
        m_lookupData.insert(index + i, rows.at(i));
    showRows(index);
}

void LookupTablePanelController::removeRows(const QList<int>& rows)
{
    if (!isCurrentRuleLoaded() || rows.isEmpty())
        return;
    for (int row : rows)
        if (row < 0 || row >= m_lookupData.size())
            return;
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted)
        m_lookupData.removeAt(row);
    showRows(std::nullopt);
    m_lookupTable->selectField(std::min(int(m_lookupData.size()) - 1, sorted.last()), 0);
}

void LookupTablePanelController::onLookupTableAction(int row, int column)
{
    if (m_lookupTable->selectedRows().size() > 1)
        return;
    if (row < 0 && column < 0)
        insertRows({ LookupTableItem() }, int(m_lookupData.size()));
    else
        m_lookupTable->selectField(row, column);
}

QString LookupTablePanelController::csvContent() const
{
    QStringList lines;
    for (const LookupTableItem& item : m_lookupData)
        if (!item.isEmpty())
            lines << String::escapedForCSVImport(item.find) + QLatin1Char(';') + String::escapedForCSVImport(item.replace);
    return lines.join(QLatin1Char('\n'));
}

QMenu* LookupTablePanelController::exportMenu()
{
    delete m_exportMenu;
    m_exportMenu = new QMenu(this);
    if (fileListExport()) {
        Transformers* list = transformers();
        const auto id = list ? list->currentTransformerId() : std::nullopt;
        const auto rule = id ? list->transformer(*id) : std::nullopt;
        const TransformScope scope = rule ? rule->transformScope : TransformScope::fullPath;
        QAction* files = m_exportMenu->addAction(QStringLiteral("Export %1 to CSV").arg(description(scope)));
        connect(files, &QAction::triggered, this, [] {
            if (fileListExport())
                fileListExport()();
        });
    }
    QAction* table = m_exportMenu->addAction(QStringLiteral("Export Table to CSV"));
    table->setEnabled(std::any_of(m_lookupData.cbegin(), m_lookupData.cend(), [](const auto& item) { return !item.isEmpty(); }));
    connect(table, &QAction::triggered, this, &LookupTablePanelController::exportLookupTableToCsvAction);
    return m_exportMenu;
}

void LookupTablePanelController::exportCsv()
{
    exportMenu()->popup(m_exportButton->mapToGlobal(QPoint(0, m_exportButton->height())));
}

bool LookupTablePanelController::exportLookupTableToCsv(const QString& path)
{
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written)
        written = file.write(csvContent().toUtf8()) >= 0;
    if (written)
        written = file.commit();
    if (written)
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    Log::error(Log::Category::general, "Unable to save CSV file to %{public}s due to: %{public}s", path, reason);
    Alert::warning(QStringLiteral("Unable to save CSV file"), QStringLiteral("%1\n%2").arg(path, reason));
    return false;
}

LookupTablePanelController::ImportedRows LookupTablePanelController::readRows(const QString& path)
{
    ImportedRows result;
    const RegularFile::Contents contents = RegularFile::read(path, MAX_IMPORT_SIZE);
    std::optional<QString> text;
    switch (contents.failure) {
    case RegularFile::Failure::none:
        if (!(text = String::decodedText(contents.data)))
            result.failure = QStringLiteral("The text encoding of the file is not known.");
        break;
    case RegularFile::Failure::cannotOpen:
    case RegularFile::Failure::cannotRead:
        result.failure = contents.reason;
        break;
    case RegularFile::Failure::notRegular:
        result.failure = QStringLiteral("It is not a regular file.");
        break;
    case RegularFile::Failure::tooLarge:
        result.failure = QStringLiteral("The file is larger than %1 MB.").arg(MAX_IMPORT_SIZE / (1024 * 1024));
        break;
    }
    if (!text)
        return result;
    // Rows past the most a table holds are counted, not kept: the memory
    // stays that of a table, whatever the file holds.
    qsizetype count = 0;
    String::parseCSV(*text, [&](const QStringList& fields) {
        if (fields.size() < 2 || fields.at(0).isEmpty())
            return;
        if (++count <= TransformerProperties::MAX_LOOKUP_ROWS)
            result.rows << LookupTableItem(fields.at(0), fields.at(1));
    });
    // A recipe would refuse a larger table when it is opened again.
    if (count > TransformerProperties::MAX_LOOKUP_ROWS) {
        result.rows.clear();
        result.failure = QStringLiteral("The file holds %1 rows; a lookup table holds at most %2.")
                             .arg(count)
                             .arg(TransformerProperties::MAX_LOOKUP_ROWS);
    }
    return result;
}

bool LookupTablePanelController::importRows(const QString& path)
{
    if (!m_currentTransformerId)
        return false;
    return applyImportedRows(path, readRows(path));
}

bool LookupTablePanelController::applyImportedRows(const QString& path, const ImportedRows& imported)
{
    if (!imported.failure.isEmpty()) {
        Log::error(Log::Category::general, "Unable to read CSV file %{public}s due to: %{public}s", path, imported.failure);
        Alert::warning(QStringLiteral("Unable to read CSV file"), QStringLiteral("%1\n%2").arg(path, imported.failure));
        return false;
    }
    m_lookupData = imported.rows;
    showRows(std::nullopt);
    if (m_lookupTable->title().value_or(QString()).isEmpty())
        m_lookupTable->setTitle(QFileInfo(path).completeBaseName());
    if (m_changesTracker->isChanged())
        post(NotificationName::transformButtonSave, QStringLiteral("importRows(_:)"));
    return true;
}

void LookupTablePanelController::importRowsInBackground(const QString& path)
{
    if (!m_currentTransformerId)
        return;
    QPointer<LookupTablePanelController> self(this);
    const QString rule = *m_currentTransformerId;
    BackgroundPool::start([self, rule, path] {
        auto imported = std::make_shared<ImportedRows>(readRows(path));
        MainThread::post([self, rule, path, imported] {
            if (self && self->m_currentTransformerId == rule)
                self->applyImportedRows(path, *imported);
        });
    });
}

void LookupTablePanelController::importRowsAction()
{
    QPointer<LookupTablePanelController> self(this);
    auto* dialog = new QFileDialog(window(), QStringLiteral("Import CSV"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(QStringLiteral("CSV files (*.csv)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    FileDialogFolder::attach(dialog, QStringLiteral("importLookupTable"), openedFolder());
    connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& path) {
        if (self)
            self->importRowsInBackground(path);
    });
    dialog->open();
}

void LookupTablePanelController::exportLookupTableToCsvAction()
{
    QPointer<LookupTablePanelController> self(this);
    auto* dialog = new QFileDialog(window(), QStringLiteral("Export CSV"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(QStringLiteral("CSV files (*.csv)"));
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    FileDialogFolder::attach(dialog, QStringLiteral("exportLookupTable"), openedFolder());
    connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& path) {
        if (self)
            self->exportLookupTableToCsv(path);
    });
    dialog->open();
}

void LookupTablePanelController::closeButtonAction()
{
    post(NotificationName::hideLookupTable, QStringLiteral("closeButtonAction(_:)"));
}
