// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileDetailsViewController.h"

#include "core/AppNotification+Typed.h"
#include "core/String+path.h"
#include "engine/TransformationQueue.h"
#include "engine/TransformationUtil+renamePlan.h"
#include "filetable/AttributedStringIcon.h"
#include "files/FileAttributeLoader.h"
#include "files/FileDataSource.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "platform/Task.h"
#include "rules/Transformers.h"
#include "tokens/TokenDetailsList.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString CALLER = QStringLiteral("Brackenfold/FileDetailsViewController.cpp");
const QString NO_FILE_SELECTED = QStringLiteral("No file selected");
constexpr int ICON_SIZE = 16;
constexpr int ID_ROLE = Qt::UserRole + 1;

const QIcon& messageIcon(FileDetailsViewController::MessageIcon icon)
{
    switch (icon) {
    case FileDetailsViewController::MessageIcon::pending:
        return AttributedStringIcon::filePending();
    case FileDetailsViewController::MessageIcon::ok:
        return AttributedStringIcon::fileOK();
    case FileDetailsViewController::MessageIcon::warning:
        return AttributedStringIcon::fileWarning();
    case FileDetailsViewController::MessageIcon::error:
        break;
    }
    return AttributedStringIcon::fileError();
}

QTableView* makeTable(QWidget* parent, QStandardItemModel* model, const QString& name, const QString& accessibleName)
{
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessibleName);
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(true);
    table->setShowGrid(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    // Clear, so the panel's tint shows through; the text keeps the palette's colours.
    table->setStyleSheet(QStringLiteral("QTableView { background: transparent; }"));
    return table;
}

} // namespace

FileDetailsViewController::FileDetailsViewController(QWidget* parent)
    : QWidget(parent)
    , m_fileNameTitle(new QLabel(this))
    , m_closeButton(new QToolButton(this))
    , m_renamingErrorsLabel(new QLabel(QStringLiteral("Validation"), this))
    , m_transformationErrors(new QTextBrowser(this))
    , m_fileDetailsModel(new QStandardItemModel(0, 2, this))
    , m_tableView(makeTable(this, m_fileDetailsModel, QStringLiteral("fileAttributeTable"), QStringLiteral("File attributes")))
    , m_renamePlanModel(new QStandardItemModel(0, 2, this))
    , m_renamePlanTableView(makeTable(this, m_renamePlanModel, QStringLiteral("renamePlanTable"), QStringLiteral("Rename plan")))
    , m_renamePlanDisclosure(new QToolButton(this))
{
    setObjectName(QStringLiteral("FileDetailsViewController"));
    setAccessibleName(QStringLiteral("File inspector"));

    m_fileNameTitle->setObjectName(QStringLiteral("fileNameTitle"));
    m_fileNameTitle->setAccessibleName(QStringLiteral("File name"));
    m_fileNameTitle->setTextFormat(Qt::PlainText);
    m_fileNameTitle->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont titleFont = m_fileNameTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    m_fileNameTitle->setFont(titleFont);
    m_fileNameTitle->setWordWrap(true);

    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setToolTip(QStringLiteral("Close the file inspector (Esc)"));
    m_closeButton->setAccessibleName(QStringLiteral("Close file inspector"));

    m_renamingErrorsLabel->setObjectName(QStringLiteral("renamingErrorsLabel"));
    m_transformationErrors->setObjectName(QStringLiteral("transformationErrors"));
    m_transformationErrors->setAccessibleName(QStringLiteral("Validation messages"));
    m_transformationErrors->setFrameShape(QFrame::NoFrame);
    m_transformationErrors->setMaximumHeight(96);
    m_transformationErrors->viewport()->setAutoFillBackground(false);
    m_renamingErrorsLabel->setBuddy(m_transformationErrors);

    m_fileDetailsModel->setHorizontalHeaderLabels({ QStringLiteral("Attribute"), QStringLiteral("Value") });
    m_tableView->setToolTip(QStringLiteral("Double-click an attribute, or press Return, to insert its token"));
    m_renamePlanModel->setHorizontalHeaderLabels({ QStringLiteral("Rule"), QStringLiteral("Result") });

    m_renamePlanDisclosure->setObjectName(QStringLiteral("renamePlanDisclosure"));
    m_renamePlanDisclosure->setText(QStringLiteral("Rename Plan"));
    m_renamePlanDisclosure->setCheckable(true);
    m_renamePlanDisclosure->setChecked(false);
    m_renamePlanDisclosure->setArrowType(Qt::RightArrow);
    m_renamePlanDisclosure->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_renamePlanDisclosure->setAutoRaise(true);
    m_renamePlanDisclosure->setToolTip(QStringLiteral("Show or hide the name after each rule"));
    m_renamePlanDisclosure->setAccessibleName(QStringLiteral("Show rename plan"));

    auto* header = new QHBoxLayout;
    header->addWidget(m_fileNameTitle, 1);
    header->addWidget(m_closeButton, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(m_tableView, 3);
    layout->addWidget(m_renamingErrorsLabel);
    layout->addWidget(m_transformationErrors);
    layout->addWidget(m_renamePlanDisclosure);
    layout->addWidget(m_renamePlanTableView, 2);

    initTableViews();
    connect(m_tableView, &QTableView::activated, this, [this] { selectedToken(); });
    connect(m_renamePlanDisclosure, &QToolButton::toggled, this, [this] { renamePlanDisclosureAction(); });
    connect(m_closeButton, &QToolButton::clicked, this, [this] { closeButtonAction(); });
    NotificationCenter::defaultCenter().addObserver(this, NotificationName::dataSourceUpdated,
        [this](const Notification&) { dataSourceUpdated(); });
    m_renamePlanDisclosure->setChecked(false);
    m_renamePlanTableView->hide();
    clearFileData();
}

FileDetailsViewController::~FileDetailsViewController() = default;

void FileDetailsViewController::initTableViews()
{
    for (QTableView* table : { m_tableView, m_renamePlanTableView }) {
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    // Fitted by setFileDetails: with wrapping on, the contents' size would be
    // that of the longest word, and the labels would be cut.
    m_tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
}

bool FileDetailsViewController::isShown() const
{
    return parentWidget() && parentWidget()->isVisible();
}

void FileDetailsViewController::updateFileInspectorFor(const std::optional<File>& file)
{
    if (!isShown())
        return;
    m_currentFile = file;
    reloadFileDetails();
}

void FileDetailsViewController::dataSourceUpdated()
{
    if (!isShown())
        return;
    reloadFileDetails();
}

void FileDetailsViewController::clearFileData()
{
    // Whatever was still being worked out belongs to what is cleared.
    ++m_ticket;
    m_pendingLoads = 0;
    m_shownFileId = QUuid();
    m_fileNameTitle->clear();
    m_transformationErrors->setPlainText(NO_FILE_SELECTED);
    setFileDetails({});
    setRenamePlan({});
}

void FileDetailsViewController::reloadFileDetails()
{
    const auto store = m_fileDataSource();
    const std::optional<File> file = store ? store->getLatestGeneration(m_currentFile) : std::nullopt;
    if (!file) {
        clearFileData();
        m_fileNameTitle->setText(NO_FILE_SELECTED);
        return;
    }
    // A new ticket, but the rows stay until their replacement is known: a
    // reload of the same file keeps the table's selection and does not flicker.
    ++m_ticket;
    m_pendingLoads = 0;
    if (file->source.id != m_shownFileId)
        setRenamePlan({});
    m_shownFileId = file->source.id;
    if (file->transformed.lateUpdateRequired)
        TransformationQueue::enqueFileTransformation(*file, TransformationQueue::TransformationPriority::normal);
    populateFileDetailsArrayController(*file);
    populateRenamePlanArrayController(*file);
    populateTransformationErrors(*file);
    m_tableView->show();
}

QString FileDetailsViewController::title(const File& file)
{
    const ExtendedFileInfo& info = file.source.fileInfo;
    if (info.isDirectory)
        return QStringLiteral("📁 ") + String::lastPathComponent(info.path);
    return info.name + (info.ext.isEmpty() ? QString() : QLatin1Char('.') + info.ext);
}

QList<InspectorPanelItem> FileDetailsViewController::nameAndPathItems(const File& file)
{
    const ExtendedFileInfo& info = file.source.fileInfo;
    const QString name = info.isDirectory ? String::lastPathComponent(info.fullPath)
                                          : info.name + (info.ext.isEmpty() ? QString() : QLatin1Char('.') + info.ext);
    // With the counter that makes it unique, as the table shows it and the disk gets it.
    const QString newName = file.transformed.targetFileName();
    return {
        { QStringLiteral("Original Name"), name },
        { QStringLiteral("Transformed Name"), newName },
        { QStringLiteral("Original Path"), info.path },
        { QStringLiteral("Transformed Path"), file.transformed.transformedPath.value() },
    };
}

QList<InspectorPanelItem> FileDetailsViewController::attributeItems(const File& file)
{
    const FileAttributes attributes = file.fileAttributes();
    QList<InspectorPanelItem> items;
    if (attributes.attributes.isEmpty())
        return items;
    // One pass over the attributes, not one per catalog entry.
    QHash<QString, FileAttribute> byFoldedId;
    for (auto it = attributes.attributes.cbegin(); it != attributes.attributes.cend(); ++it)
        if (const QString folded = it.key().toCaseFolded(); !byFoldedId.contains(folded))
            byFoldedId.insert(folded, it.value());
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    for (const QList<TokenDetailsRef>* list : { &catalog.basicTokenDetails, &catalog.id3TokenDetails,
             &catalog.avTokenDetails, &catalog.flacTokenDetails, &catalog.exifTokenDetails, &catalog.gpsTokenDetails,
             &catalog.mediaTokenDetails }) {
        for (const TokenDetailsRef& details : *list) {
            const auto attribute = byFoldedId.constFind(details->tokenId().toCaseFolded());
            if (attribute != byFoldedId.constEnd())
                items << InspectorPanelItem(*attribute);
        }
    }
    return items;
}

void FileDetailsViewController::populateFileDetailsArrayController(const File& file)
{
    m_fileNameTitle->setText(title(file));
    if (!file.attributesInitialized())
        loadAttributes(file);
    setFileDetails(nameAndPathItems(file) + attributeItems(file));
}

void FileDetailsViewController::setFileDetails(QList<InspectorPanelItem> items)
{
    if (items == m_fileDetails && m_fileDetailsModel->rowCount() == items.size())
        return;
    m_fileDetails = std::move(items);
    m_fileDetailsModel->removeRows(0, m_fileDetailsModel->rowCount());
    for (const InspectorPanelItem& item : std::as_const(m_fileDetails)) {
        auto* label = new QStandardItem(item.label);
        label->setData(item.id, ID_ROLE);
        label->setToolTip(item.id.isEmpty() ? QString() : item.id);
        auto* value = new QStandardItem(item.attributeValue);
        value->setToolTip(item.attributeValue);
        m_fileDetailsModel->appendRow({ label, value });
    }
    const int padding = 2 * (m_tableView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_tableView) + 1) + 8;
    QHeaderView* header = m_tableView->horizontalHeader();
    int labelWidth = header->fontMetrics().horizontalAdvance(m_fileDetailsModel->headerData(0, Qt::Horizontal).toString())
        + 2 * padding;
    for (const InspectorPanelItem& item : std::as_const(m_fileDetails))
        labelWidth = std::max(labelWidth, m_tableView->fontMetrics().horizontalAdvance(item.label) + padding);
    header->resizeSection(0, labelWidth);
}

void FileDetailsViewController::loadAttributes(const File& file)
{
    const quint64 ticket = m_ticket;
    ++m_pendingLoads;
    QPointer<FileDetailsViewController> self(this);
    TaskHandle::detached([self, ticket, file](std::stop_token) {
        File copy = file;
        copy.attributes = FileAttributes { FileAttributeLoader::load(copy.sourceUrl()).value_or(FileAttributeDictionary {}) };
        MainThread::post([self, ticket, copy] {
            if (!self)
                return;
            // The store keeps them whatever is shown now; it refuses a file of an older list itself.
            if (const auto store = self->m_fileDataSource())
                store->updateFiles({ copy }, FileComponentMutation::attributes, CALLER);
            if (ticket != self->m_ticket)
                return;
            --self->m_pendingLoads;
            self->populateFileDetailsArrayController(copy);
        });
    });
}

void FileDetailsViewController::populateRenamePlanArrayController(const File& file)
{
    const auto transformers = m_transformers();
    const QList<Transformer> rules = transformers ? transformers->list() : QList<Transformer> {};
    const quint64 ticket = m_ticket;
    ++m_pendingLoads;
    QPointer<FileDetailsViewController> self(this);
    TaskHandle::detached([self, ticket, file, rules](std::stop_token) {
        QList<RenamePlanItem> rows = TransformationUtil::getRenamingPlanFor(file, rules);
        MainThread::post([self, ticket, rows = std::move(rows)] {
            if (!self || ticket != self->m_ticket)
                return;
            --self->m_pendingLoads;
            self->setRenamePlan(rows);
        });
    });
}

void FileDetailsViewController::setRenamePlan(QList<RenamePlanItem> rows)
{
    if (rows == m_renamePlan && m_renamePlanModel->rowCount() == rows.size())
        return;
    m_renamePlan = std::move(rows);
    m_renamePlanModel->removeRows(0, m_renamePlanModel->rowCount());
    for (const RenamePlanItem& row : std::as_const(m_renamePlan)) {
        auto* label = new QStandardItem(row.label);
        if (!row.actsOnFile) {
            QFont font = m_renamePlanTableView->font();
            font.setStrikeOut(true);
            label->setFont(font);
            label->setToolTip(QStringLiteral("This rule does not act on the file"));
        }
        auto* fullPath = new QStandardItem(row.fullPath);
        fullPath->setToolTip(row.fullPath);
        m_renamePlanModel->appendRow({ label, fullPath });
    }
}

QList<FileDetailsViewController::MessageLine> FileDetailsViewController::transformationMessages(const File& file)
{
    if (file.transformed.isDirty || file.transformed.lateUpdateRequired)
        return { { MessageIcon::pending, QStringLiteral("Pending Validation") } };
    const auto lines = [](const QSet<QString>& messages, MessageIcon icon) {
        QStringList sorted(messages.cbegin(), messages.cend());
        sorted.sort();
        QList<MessageLine> result;
        for (const QString& message : std::as_const(sorted))
            result << MessageLine { icon, message };
        return result;
    };
    if (!file.validation.errors.isEmpty())
        return lines(file.validation.errors, MessageIcon::error);
    if (!file.validation.warnings.isEmpty())
        return lines(file.validation.warnings, MessageIcon::warning);
    return { { MessageIcon::ok, QStringLiteral("Ok") } };
}

void FileDetailsViewController::populateTransformationErrors(const File& file)
{
    setMessages(transformationMessages(file));
}

void FileDetailsViewController::setMessages(const QList<MessageLine>& lines)
{
    QTextDocument* document = m_transformationErrors->document();
    document->clear();
    QTextCursor cursor(document);
    bool first = true;
    for (const MessageLine& line : lines) {
        if (!first)
            cursor.insertBlock();
        first = false;
        const QUrl name(QStringLiteral("icon:%1").arg(static_cast<int>(line.icon)));
        const qreal scale = devicePixelRatioF();
        QPixmap pixmap = messageIcon(line.icon).pixmap(QSize(ICON_SIZE, ICON_SIZE), scale);
        document->addResource(QTextDocument::ImageResource, name, pixmap);
        QTextImageFormat image;
        image.setName(name.toString());
        image.setWidth(ICON_SIZE);
        image.setHeight(ICON_SIZE);
        image.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        cursor.insertImage(image);
        cursor.insertText(QLatin1Char(' ') + line.text, QTextCharFormat());
    }
}

void FileDetailsViewController::selectedToken()
{
    const QModelIndex current = m_tableView->currentIndex();
    if (!current.isValid() || current.row() >= m_fileDetails.size())
        return;
    const QString id = m_fileDetails.at(current.row()).id;
    if (!id.isEmpty())
        AppNotification::InsertToken::post(id);
}

void FileDetailsViewController::renamePlanDisclosureAction()
{
    const bool shown = m_renamePlanDisclosure->isChecked();
    m_renamePlanDisclosure->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    m_renamePlanDisclosure->setAccessibleName(shown ? QStringLiteral("Hide rename plan") : QStringLiteral("Show rename plan"));
    m_renamePlanTableView->setVisible(shown);
}

void FileDetailsViewController::closeButtonAction()
{
    AppNotification::post(NotificationName::hideFileInspector);
}
