// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextViewController.h"

#include "core/AppNotification+Typed.h"
#include "platform/DefaultsStore.h"
#include "platform/NotificationCenter.h"
#include "tokens/TokenDetailsList.h"
#include "tokens/TokenItem.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"
#include "uikit/KeyUtils.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

enum Column { attributeColumn = 0, descriptionColumn = 1 };

// The categories in tab order: the identifier of the table and its category,
// titled as the token panel names it.
const QList<std::pair<QString, TokenCategory>>& categories()
{
    static const QList<std::pair<QString, TokenCategory>> list = {
        { QStringLiteral("file"), TokenCategory::file },
        { QStringLiteral("exif"), TokenCategory::exif },
        { QStringLiteral("gps"), TokenCategory::gps },
        { QStringLiteral("id3"), TokenCategory::id3 },
        { QStringLiteral("flac"), TokenCategory::flac },
        { QStringLiteral("av"), TokenCategory::av },
    };
    return list;
}

QFont descriptionFont()
{
    return QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
}

} // namespace

TokenTableView::TokenTableView(const QString& identifier, QWidget* parent)
    : QTableWidget(parent)
{
    setObjectName(identifier);
    setAccessibleName(QStringLiteral("Tokens"));
    setAccessibleDescription(QStringLiteral("Enter or a double click inserts the token into the rule"));
    setColumnCount(2);
    setHorizontalHeaderLabels({ QStringLiteral("Token"), QStringLiteral("Description") });
    horizontalHeader()->setSectionResizeMode(attributeColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(descriptionColumn, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(descriptionColumn, descriptionColumnWidth);
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab switches categories in the pane, not cells.
    setTabKeyNavigation(false);
    resize(360, 320);
    m_descriptionColumnMaxHeight = height();

    m_data = getData();
    setRowCount(int(m_data.size()));
    const qreal ratio = devicePixelRatioF();
    int widestChip = 0;
    for (int row = 0; row < m_data.size(); ++row) {
        const TokenDetails& details = *m_data.at(row);
        auto* token = new QTableWidgetItem;
        token->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QImage chip = TokenTextAttachmentImageFactory::createImage(details.tokenItem().displayValue(), TokenDrawStyle::normal, ratio);
        chip.setDevicePixelRatio(ratio);
        token->setData(Qt::DecorationRole, QPixmap::fromImage(chip));
        token->setData(Qt::AccessibleTextRole, details.tokenId());
        token->setToolTip(details.tokenId());
        widestChip = std::max(widestChip, int(std::ceil(chip.width() / ratio)));
        setItem(row, attributeColumn, token);
        auto* description = new QTableWidgetItem(details.tokenDescription().trimmed());
        description->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        description->setFont(descriptionFont());
        setItem(row, descriptionColumn, description);
        setRowHeight(row, heightOfRow(row));
    }
    setIconSize(QSize(widestChip, int(std::ceil(TokenTextAttachmentImageFactory::imageSize(QString()).height()))));
    scrollToTop();
}

QList<TokenDetailsRef> TokenTableView::getData() const
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    const QString identifier = objectName();
    if (identifier == QLatin1String("file"))
        return catalog.basicTokenDetails;
    if (identifier == QLatin1String("exif"))
        return catalog.exifTokenDetails;
    if (identifier == QLatin1String("gps"))
        return catalog.gpsTokenDetails;
    if (identifier == QLatin1String("id3"))
        return catalog.id3TokenDetails;
    if (identifier == QLatin1String("flac"))
        return catalog.flacTokenDetails;
    if (identifier == QLatin1String("av"))
        return catalog.avTokenDetails;
    return {};
}

QString TokenTableView::typeSelectString(const QString& tokenId)
{
    const qsizetype dot = tokenId.indexOf(QLatin1Char('.'));
    return dot < 0 ? tokenId : tokenId.mid(dot);
}

int TokenTableView::heightOfRow(int row) const
{
    if (row < 0 || row >= m_data.size())
        return 0;
    const QFontMetricsF metrics(descriptionFont());
    const QRectF bounds(0, 0, descriptionColumnWidth, m_descriptionColumnMaxHeight);
    const QRectF measured = metrics.boundingRect(bounds, Qt::TextWordWrap, m_data.at(row)->tokenDescription().trimmed());
    const qreal height = std::min(measured.height(), bounds.height());
    return int(std::ceil(height + 1.5 * metrics.capHeight()));
}

std::optional<TokenString> TokenTableView::selectedTokenString() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList {};
    if (rows.isEmpty())
        return std::nullopt;
    const int row = rows.first().row();
    if (row < 0 || row >= m_data.size())
        return std::nullopt;
    return TokenString(TokenItem::attribute(m_data.at(row)->tokenId()));
}

void TokenTableView::keyboardSearch(const QString& search)
{
    if (m_data.isEmpty() || search.isEmpty())
        return;
    const bool continues = m_typing.isValid() && m_typing.elapsed() < QApplication::keyboardInputInterval();
    m_typedText = continues ? m_typedText + search : search;
    m_typing.start();
    // A longer text may still match the current row; a new one looks further on.
    const int current = std::max(currentRow(), 0);
    const int first = continues ? current : current + 1;
    for (int i = 0; i < m_data.size(); ++i) {
        const int row = int((first + i) % m_data.size());
        if (typeSelectString(m_data.at(row)->tokenId()).startsWith(m_typedText, Qt::CaseInsensitive)) {
            selectRow(row);
            scrollToItem(item(row, attributeColumn));
            return;
        }
    }
}

void TokenTableView::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (rowCount() > 0 && selectedItems().isEmpty())
        selectRow(std::max(currentRow(), 0));
}

void TokenTableView::keyPressEvent(QKeyEvent* event)
{
    // Enter or Return chooses, not with Shift, Ctrl or Meta held.
    const bool plainReturn = event->key() == Qt::Key_Return
        && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier));
    if (KeyUtils::isKeyDown(*event, KeyCode::enter) || plainReturn) {
        AppNotification::SelectAttribute::post(this);
        return;
    }
    QTableWidget::keyPressEvent(event);
}

TokenTextViewController::TokenTextViewController(QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_tabView(new QTabWidget(this))
    , m_closeButton(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("Tokens"));
    setAccessibleName(QStringLiteral("Token chooser"));
    m_tabView->setAccessibleName(QStringLiteral("Token categories"));
    for (const auto& [identifier, category] : categories()) {
        const QString title = TokenCategories::rawValue(category);
        auto* table = new TokenTableView(identifier, m_tabView);
        table->setAccessibleName(title + QStringLiteral(" tokens"));
        table->installEventFilter(this);
        connect(table, &QTableWidget::cellDoubleClicked, this, [this, table] { tableViewDoubleClickAction(table); });
        m_tabView->addTab(table, title);
    }
    // The keyboard stays in the lists: a category shown takes the focus from the one left.
    m_tabView->setFocusPolicy(Qt::NoFocus);
    m_tabView->tabBar()->setFocusPolicy(Qt::NoFocus);
    connect(m_tabView, &QTabWidget::currentChanged, this, [this] {
        if (isAncestorOf(QApplication::focusWidget()) || !QApplication::focusWidget())
            focusCurrentTable();
    });
    m_closeButton->setAccessibleName(QStringLiteral("Close"));
    m_closeButton->setToolTip(QStringLiteral("Close the token chooser (Escape)"));
    connect(m_closeButton, &QPushButton::clicked, this, &TokenTextViewController::closeButtonAction);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabView, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);
    resize(420, 420);
    initObservers();
}

TokenTableView* TokenTextViewController::tableView(int tab) const
{
    return qobject_cast<TokenTableView*>(m_tabView->widget(tab));
}

void TokenTextViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::showTokenTextView, [this](const Notification&) { showTokenTextView(); });
    center.addObserver(this, NotificationName::hideTokenTextView, [this](const Notification&) { hideTokenTextView(); });
    center.addObserver(this, NotificationName::dismissTokenTextPane, [this](const Notification&) { dismissNotification(); });
    center.addObserver(this, NotificationName::selectAttribute, [this](const Notification& n) { selectAttribute(n); });
}

void TokenTextViewController::showTokenTextView()
{
    const bool opening = !isVisible();
    show();
    // Placed once shown, when the frame it has to fit on screen is known.
    if (opening)
        placeByTargetTextField();
    raise();
    activateWindow();
    focusCurrentTable();
}

void TokenTextViewController::focusCurrentTable()
{
    if (QWidget* table = m_tabView->currentWidget())
        table->setFocus(Qt::OtherFocusReason);
}

void TokenTextViewController::placeByTargetTextField()
{
    m_placedAt.reset();
    QWidget* field = m_targetTextField;
    if (!field || !field->isVisible())
        return;
    constexpr int gap = 4;
    const QPoint anchor = field->mapToGlobal(QPoint(0, 0));
    const QSize size = frameGeometry().size();
    const QRect screen = field->screen()->availableGeometry();
    QPoint position(anchor.x(), anchor.y() + field->height() + gap);
    const QJsonObject stored = DefaultsStore::standard().value(OFFSET_KEY).toObject();
    if (stored.value(QStringLiteral("x")).isDouble() && stored.value(QStringLiteral("y")).isDouble())
        position = anchor + QPoint(stored.value(QStringLiteral("x")).toInt(), stored.value(QStringLiteral("y")).toInt());
    else if (position.y() + size.height() > screen.bottom() + 1)
        position.setY(anchor.y() - gap - size.height());
    // Whole on screen, or at least its top-left corner when it is larger.
    position.setX(std::max(std::min(position.x(), screen.right() + 1 - size.width()), screen.left()));
    position.setY(std::max(std::min(position.y(), screen.bottom() + 1 - size.height()), screen.top()));
    move(position);
    m_placedAt = position;
}

void TokenTextViewController::hideEvent(QHideEvent* event)
{
    // Remember a place the user chose, not one this window worked out.
    if (!event->spontaneous() && m_placedAt && pos() != *m_placedAt && m_targetTextField && m_targetTextField->isVisible()) {
        const QPoint offset = pos() - m_targetTextField->mapToGlobal(QPoint(0, 0));
        DefaultsStore::standard().setValue(OFFSET_KEY, QJsonObject { { QStringLiteral("x"), offset.x() }, { QStringLiteral("y"), offset.y() } });
    }
    QWidget::hideEvent(event);
}

void TokenTextViewController::hideTokenTextView()
{
    hide();
}

void TokenTextViewController::closeButtonAction()
{
    close();
}

void TokenTextViewController::dismissNotification()
{
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("dismissNotification()"));
    close();
}

void TokenTextViewController::tableViewDoubleClickAction(TokenTableView* tableView)
{
    if (auto tokenString = tableView ? tableView->selectedTokenString() : std::nullopt)
        selectAttribute(*tokenString);
}

void TokenTextViewController::selectAttribute(const Notification& notification)
{
    auto* tableView = qobject_cast<TokenTableView*>(notification.object.value<QObject*>());
    if (auto tokenString = tableView ? tableView->selectedTokenString() : std::nullopt)
        selectAttribute(*tokenString);
}

void TokenTextViewController::selectAttribute(const TokenString& tokenString)
{
    // The same road as the token panel: the rule editor appends the chip to
    // the shown rule's field and saves the rule.
    for (const TokenItem& item : tokenString.items())
        AppNotification::InsertToken::post(item.value);
}

void TokenTextViewController::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_Backtab || (event->key() == Qt::Key_Tab && held == Qt::ShiftModifier)) {
        m_tabView->setCurrentIndex(std::max(m_tabView->currentIndex() - 1, 0));
    } else if (event->key() == Qt::Key_Tab && held == Qt::NoModifier) {
        m_tabView->setCurrentIndex(std::min(m_tabView->currentIndex() + 1, m_tabView->count() - 1));
    } else if (event->key() == Qt::Key_Escape) {
        closeButtonAction();
    }
    // Every other key stops here.
    event->accept();
}

bool TokenTextViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Tab and Escape reach the pane before the table moves the focus with them.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
