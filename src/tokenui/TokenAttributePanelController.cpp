// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributePanelController.h"

#include "core/AppNotification+Typed.h"
#include "tokens/TokenDetailsList.h"
#include "tokens/TokenItem.h"
#include "tokens/TokenString.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextAttachmentImageFactory.h"
#include "uikit/ViewUtil.h"

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QCursor>
#include <QDrag>
#include <QPixmap>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The segments: every category but the builder tokens, which have none.
QList<TokenCategory> segmentCategories()
{
    QList<TokenCategory> categories = TokenCategories::allCases();
    categories.removeAll(TokenCategory::regex);
    return categories;
}

QString plainDescription(const TokenDetails& details)
{
    QTextDocument document;
    document.setMarkdown(details.tokenDescription().trimmed());
    return document.toPlainText();
}

int chipHeight()
{
    return int(std::ceil(TokenTextAttachmentImageFactory::imageSize(QString()).height()));
}

bool isTokenRow(const QModelIndex& index)
{
    return !index.data(TokenAttributeTableView::TOKEN_ID_ROLE).toString().isEmpty();
}

} // namespace

TokenDetailsView::TokenDetailsView(QAbstractItemView* view)
    : QStyledItemDelegate(view)
    , m_view(view)
{
}

void TokenDetailsView::layOutDescription(QTextDocument& document, const QString& markdown, const QFont& font, qreal width)
{
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setMarkdown(markdown.trimmed(), QTextDocument::MarkdownNoHTML);
    document.setTextWidth(width);
}

QString TokenDetailsView::chipLabel(const QString& label, qreal availableWidth)
{
    namespace Chip = TokenTextAttachmentImageFactory;
    if (Chip::imageSize(label).width() <= availableWidth)
        return label;
    const qreal frame = Chip::paddingLeft + Chip::paddingRight + Chip::marginLeft + Chip::marginRight;
    return QFontMetricsF(Chip::font()).elidedText(label, Qt::ElideRight, std::max<qreal>(availableWidth - frame, 0));
}

qreal TokenDetailsView::rowWidth() const
{
    const auto* list = qobject_cast<const QListView*>(m_view);
    return m_view->viewport()->width() - 2 * (list ? list->spacing() : 0);
}

QRect TokenDetailsView::categoryRect(const QRect& row, const QModelIndex& index, const QFont& font) const
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(index.data(TokenAttributeTableView::CATEGORY_ROLE).toString()) + 2 * inset;
    const int height = metrics.height() + 4;
    return QRect(row.right() - inset - width + 1, row.top() + inset + (chipHeight() - height) / 2, width, height);
}

qreal TokenDetailsView::chipAvailableWidth(const QRect& row, const QModelIndex& index, const QFont& font) const
{
    const int besideCategory = row.width() - 2 * inset - spacing - categoryRect(row, index, font).width();
    return std::min(chipMaximumWidth, besideCategory);
}

QRect TokenDetailsView::chipRect(const QRect& row, const QModelIndex& index) const
{
    const QString label = chipLabel(index.data(TokenAttributeTableView::CHIP_LABEL_ROLE).toString(),
        chipAvailableWidth(row, index, m_view->font()));
    const QSizeF size = TokenTextAttachmentImageFactory::imageSize(label);
    return QRect(row.left() + inset, row.top() + inset, int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QSize TokenDetailsView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!isTokenRow(index))
        return QStyledItemDelegate::sizeHint(option, index);
    const qreal width = rowWidth();
    QTextDocument description;
    layOutDescription(description, index.data(TokenAttributeTableView::DESCRIPTION_ROLE).toString(), option.font,
        width - 2 * inset);
    const int height = inset + chipHeight() + spacing + int(std::ceil(description.size().height())) + inset + 1;
    return QSize(int(width), height);
}

void TokenDetailsView::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!isTokenRow(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem panel = option;
    initStyleOption(&panel, index);
    panel.text.clear();
    panel.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QRect row = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    const QRect chip = chipRect(row, index);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QString label = chipLabel(index.data(TokenAttributeTableView::CHIP_LABEL_ROLE).toString(),
        chipAvailableWidth(row, index, option.font));
    painter->drawImage(chip.topLeft(), TokenTextAttachmentImageFactory::createImage(label, TokenDrawStyle::normal, ratio));

    const QRect category = categoryRect(row, index, option.font);
    QColor border = text;
    border.setAlphaF(0.375);
    painter->setPen(border);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(category).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(category, Qt::AlignCenter, index.data(TokenAttributeTableView::CATEGORY_ROLE).toString());

    QTextDocument description;
    layOutDescription(description, index.data(TokenAttributeTableView::DESCRIPTION_ROLE).toString(), option.font,
        row.width() - 2 * inset);
    painter->translate(row.left() + inset, row.top() + inset + chipHeight() + spacing);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = option.palette;
    context.palette.setColor(QPalette::Text, text);
    description.documentLayout()->draw(painter, context);
    painter->restore();

    QColor separator = option.palette.color(QPalette::Text);
    separator.setAlphaF(0.2);
    painter->fillRect(QRect(row.left(), row.bottom(), row.width(), 1), separator);
}

TokenAttributeTableView::TokenAttributeTableView(QWidget* parent)
    : QListWidget(parent)
{
    setAccessibleName(QStringLiteral("Tokens"));
    setAccessibleDescription(QStringLiteral("Return or a double click inserts the token; a token can be dragged onto a field"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setWordWrap(true);
    setUniformItemSizes(false);
    setSpacing(2);
    // Rows are as wide as the list and wrap their description instead.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new TokenDetailsView(this));
    // Not the view's own activation: it fires on Return with any modifier.
    connect(this, &QListWidget::itemDoubleClicked, this, &TokenAttributeTableView::choose);
}

void TokenAttributeTableView::choose(QListWidgetItem* item)
{
    const QString tokenId = item ? item->data(TOKEN_ID_ROLE).toString() : QString();
    if (!tokenId.isEmpty())
        emit tokenChosen(tokenId);
}

void TokenAttributeTableView::keyPressEvent(QKeyEvent* event)
{
    // Return inserts, except with Shift, Ctrl or Meta held; the keypad's
    // Enter is left to the list.
    const Qt::KeyboardModifiers blocked = Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier | Qt::KeypadModifier;
    if (event->key() == Qt::Key_Return && !(event->modifiers() & blocked)) {
        if (QListWidgetItem* item = currentItem(); item && item->isSelected())
            choose(item);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TokenAttributeTableView::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty()) {
        for (int row = 0; row < count(); ++row) {
            if (item(row)->flags() & Qt::ItemIsSelectable) {
                setCurrentRow(row);
                break;
            }
        }
    }
}

void TokenAttributeTableView::resizeEvent(QResizeEvent* event)
{
    const bool widthChanged = event->size().width() != event->oldSize().width();
    QListWidget::resizeEvent(event);
    // Row heights follow the width their descriptions wrap to.
    if (widthChanged)
        doItemsLayout();
}

void TokenAttributeTableView::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::PopupFocusReason)
        clearSelection();
    QListWidget::focusOutEvent(event);
}

// A catalog entry goes out as a token and as nothing else: a plain-text field
// it is dropped on takes no label for the token.
QStringList TokenAttributeTableView::mimeTypes() const
{
    return { TokenStringPasteboard::tokenStringType };
}

QMimeData* TokenAttributeTableView::mimeData(const QList<QListWidgetItem*>& items) const
{
    if (items.isEmpty() || items.first()->data(TOKEN_ID_ROLE).toString().isEmpty())
        return nullptr;
    const TokenString token(TokenItem::attribute(items.first()->data(TOKEN_ID_ROLE).toString()));
    const auto data = TokenStringPasteboard::propertyList(token, TokenStringPasteboard::tokenStringType);
    if (!data)
        return nullptr;
    auto* mimeData = new QMimeData;
    mimeData->setData(TokenStringPasteboard::tokenStringType, *data);
    return mimeData;
}

TokenAttributePanelController::TokenAttributePanelController(QWidget* parent)
    : QWidget(parent)
    , m_searchBox(new QLineEdit(this))
    , m_buttonBar(new QButtonGroup(this))
    , m_tableView(new TokenAttributeTableView(this))
    , m_placeholder(new QLabel(QStringLiteral("No results"), this))
{
    setAccessibleName(QStringLiteral("Attributes"));
    setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    layout->setSpacing(8);

    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("Attributes"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("✕"));
    close->setAutoRaise(true);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setToolTip(QStringLiteral("Close the token panel (Escape)"));
    connect(close, &QToolButton::clicked, this, &TokenAttributePanelController::closePanel);
    header->addWidget(title, 1);
    header->addWidget(close);
    layout->addLayout(header);

    auto* segments = new QHBoxLayout;
    segments->setSpacing(0);
    m_buttonBar->setExclusive(false);
    const QList<TokenCategory> categories = segmentCategories();
    for (int i = 0; i < categories.size(); ++i) {
        auto* button = new QToolButton(this);
        const QString name = TokenCategories::rawValue(categories.at(i));
        button->setText(name);
        button->setCheckable(true);
        button->setAccessibleName(name + QStringLiteral(" tokens"));
        button->setToolTip(QStringLiteral("Show only the %1 tokens; click again to show all").arg(name));
        m_buttonBar->addButton(button, i);
        segments->addWidget(button);
    }
    connect(m_buttonBar, &QButtonGroup::idClicked, this, &TokenAttributePanelController::selectCategory);
    layout->addLayout(segments);

    m_searchBox->setPlaceholderText(QStringLiteral("Search"));
    m_searchBox->setClearButtonEnabled(true);
    for (QToolButton* clear : m_searchBox->findChildren<QToolButton*>())
        ViewUtil::describe(clear, QStringLiteral("Clear search"));
    m_searchBox->setAccessibleName(QStringLiteral("Search tokens"));
    m_searchBox->setToolTip(QStringLiteral("Words of a token's name, description or category"));
    connect(m_searchBox, &QLineEdit::textChanged, this, &TokenAttributePanelController::search);
    layout->addWidget(m_searchBox);

    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(m_placeholder);
    layout->addWidget(m_tableView, 1);
    connect(m_tableView, &TokenAttributeTableView::tokenChosen, this, [](const QString& tokenId) {
        AppNotification::InsertToken::post(tokenId);
    });
    search();
}

QList<TokenCategory> TokenAttributePanelController::selectedCategories() const
{
    QList<TokenCategory> selected;
    const QList<TokenCategory> categories = segmentCategories();
    for (int i = 0; i < categories.size(); ++i)
        if (m_buttonBar->button(i)->isChecked())
            selected << categories.at(i);
    return selected;
}

QList<TokenDetailsRef> TokenAttributePanelController::performQuery(const QString& text, const QList<TokenCategory>& categories)
{
    const TokenDetailsList& catalog = TokenDetailsList::shared();
    const QStringList words = text.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<TokenDetailsRef> found;
    for (const QList<TokenDetailsRef>* section : { &catalog.allTokens, &catalog.regexTokenDetails }) {
        for (const TokenDetailsRef& details : *section) {
            if (!categories.isEmpty() && !categories.contains(details->category()))
                continue;
            const QString id = details->tokenId().toLower();
            const QString description = details->tokenDescription().toLower();
            const QString category = TokenCategories::rawValue(details->category()).toLower();
            const bool matches = std::all_of(words.cbegin(), words.cend(), [&](const QString& word) {
                return id.contains(word) || description.contains(word) || category.contains(word);
            });
            if (matches)
                found << details;
        }
    }
    return found;
}

void TokenAttributePanelController::search()
{
    updateList(performQuery(m_searchBox->text(), selectedCategories()));
}

void TokenAttributePanelController::selectCategory(int segment)
{
    // One category at a time; a click on the chosen one shows all again.
    for (QAbstractButton* button : m_buttonBar->buttons())
        if (m_buttonBar->id(button) != segment)
            button->setChecked(false);
    if (m_previousButtonBarSelection == segment) {
        m_buttonBar->button(segment)->setChecked(false);
        m_previousButtonBarSelection = -1;
    } else {
        m_buttonBar->button(segment)->setChecked(true);
        m_previousButtonBarSelection = segment;
    }
    search();
}

void TokenAttributePanelController::closePanel()
{
    AppNotification::post(NotificationName::hideTokenAttributePanel, {}, std::nullopt, QStringLiteral("closePanel(_:)"));
}

void TokenAttributePanelController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    search();
    QPointer<QLineEdit> box(m_searchBox);
    QTimer::singleShot(0, this, [box] {
        if (box && box->window())
            box->setFocus(Qt::OtherFocusReason);
    });
}

QStringList TokenAttributePanelController::shownTokenIds() const
{
    QStringList ids;
    for (int row = 0; row < m_tableView->count(); ++row) {
        const QString id = m_tableView->item(row)->data(TokenAttributeTableView::TOKEN_ID_ROLE).toString();
        if (!id.isEmpty())
            ids << id;
    }
    return ids;
}

void TokenAttributePanelController::updateList(const QList<TokenDetailsRef>& entries)
{
    m_tableView->clear();
    std::optional<TokenCategory> section;
    for (const TokenDetailsRef& details : entries) {
        if (section != details->category()) {
            section = details->category();
            auto* header = new QListWidgetItem(TokenCategories::rawValue(*section), m_tableView);
            QFont bold = header->font();
            bold.setBold(true);
            header->setFont(bold);
            header->setFlags(Qt::ItemIsEnabled);
        }
        const QString description = plainDescription(*details);
        const QString category = TokenCategories::rawValue(details->category());
        const QString label = details->tokenItem().displayValue();
        auto* row = new QListWidgetItem(details->tokenId(), m_tableView);
        row->setData(Qt::AccessibleTextRole, QStringLiteral("%1, %2: %3").arg(label, category, description));
        row->setToolTip(QStringLiteral("%1\n%2").arg(label, description));
        row->setData(TokenAttributeTableView::TOKEN_ID_ROLE, details->tokenId());
        row->setData(TokenAttributeTableView::CHIP_LABEL_ROLE, label);
        row->setData(TokenAttributeTableView::CATEGORY_ROLE, category);
        row->setData(TokenAttributeTableView::DESCRIPTION_ROLE, details->tokenDescription());
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    }
    m_placeholder->setVisible(entries.isEmpty());
    m_tableView->setVisible(!entries.isEmpty());
    m_tableView->scrollToTop();
}

void TokenAttributeTableView::startDrag(Qt::DropActions supportedActions)
{
    QListWidgetItem* item = currentItem();
    QMimeData* data = item && item->isSelected() ? mimeData({ item }) : nullptr;
    if (!data)
        return;
    QDrag drag(this);
    drag.setMimeData(data);
    const qreal ratio = devicePixelRatioF();
    QImage chip = TokenTextAttachmentImageFactory::createImage(item->data(CHIP_LABEL_ROLE).toString(), TokenDrawStyle::normal, ratio);
    chip.setDevicePixelRatio(ratio);
    drag.setPixmap(QPixmap::fromImage(chip));
    // The chip lies where the row shows it, a little in from the row's corner.
    const QPoint chipOrigin = visualItemRect(item).topLeft() + QPoint(16, 12);
    drag.setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - chipOrigin);
    execDrag(drag, supportedActions);
}

Qt::DropAction TokenAttributeTableView::execDrag(QDrag& drag, Qt::DropActions supportedActions)
{
    return drag.exec(supportedActions, Qt::CopyAction);
}
