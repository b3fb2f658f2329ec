// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenDetails.h"

#include <QListWidget>
#include <QStyledItemDelegate>
#include <QWidget>

class QButtonGroup;
class QDrag;
class QLabel;
class QLineEdit;
class QTextDocument;
class QToolButton;

// Draws a row of the token panel: the token's chip as wide as its label (up
// to a maximum, then elided), its category, and the description with its
// inline formatting, wrapped to the list's width.
class TokenDetailsView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int chipMaximumWidth = 320;
    static constexpr int inset = 8;
    static constexpr int spacing = 6;

    explicit TokenDetailsView(QAbstractItemView* view);

    // The description's inline Markdown laid out at the given width.
    static void layOutDescription(QTextDocument& document, const QString& markdown, const QFont& font, qreal width);
    // The chip's label as drawn: whole when its chip fits the width, else elided.
    static QString chipLabel(const QString& label, qreal availableWidth);
    // Where the row's chip is drawn inside the row.
    QRect chipRect(const QRect& row, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    qreal rowWidth() const;
    QRect categoryRect(const QRect& row, const QModelIndex& index, const QFont& font) const;
    qreal chipAvailableWidth(const QRect& row, const QModelIndex& index, const QFont& font) const;

    QAbstractItemView* m_view;
};

// The list of the token panel: Return or a double click inserts the selected
// token into the shown rule's token field; a row dragged onto a token field
// becomes a chip there.
class TokenAttributeTableView : public QListWidget {
    Q_OBJECT
public:
    static constexpr int TOKEN_ID_ROLE = Qt::UserRole + 1;
    static constexpr int CHIP_LABEL_ROLE = Qt::UserRole + 2;
    static constexpr int CATEGORY_ROLE = Qt::UserRole + 3;
    static constexpr int DESCRIPTION_ROLE = Qt::UserRole + 4;
    explicit TokenAttributeTableView(QWidget* parent = nullptr);

signals:
    void tokenChosen(const QString& tokenId);

private:
    void choose(QListWidgetItem* item);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
    // The drag shows the token's chip, not a picture of its row.
    void startDrag(Qt::DropActions supportedActions) override;
    // Runs the drag to its end.
    virtual Qt::DropAction execDrag(QDrag& drag, Qt::DropActions supportedActions);
};

// The token panel of the side panel: the catalog's tokens by category, found
// by words of their id, description or category.
class TokenAttributePanelController : public QWidget {
    Q_OBJECT
public:
    explicit TokenAttributePanelController(QWidget* parent = nullptr);

    // The entries of the categories (all when none) whose id, description or
    // category holds every word of the text, in catalog order.
    static QList<TokenDetailsRef> performQuery(const QString& text, const QList<TokenCategory>& categories);

    QList<TokenCategory> selectedCategories() const;
    QLineEdit* searchBox() const { return m_searchBox; }
    QButtonGroup* buttonBar() const { return m_buttonBar; }
    TokenAttributeTableView* tableView() const { return m_tableView; }
    QLabel* placeholderView() const { return m_placeholder; }
    // The token ids of the rows shown, in order.
    QStringList shownTokenIds() const;

public slots:
    void search();
    void selectCategory(int segment);
    void closePanel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateList(const QList<TokenDetailsRef>& entries);

    QLineEdit* m_searchBox;
    QButtonGroup* m_buttonBar;
    TokenAttributeTableView* m_tableView;
    QLabel* m_placeholder;
    int m_previousButtonBarSelection = -1;
};
