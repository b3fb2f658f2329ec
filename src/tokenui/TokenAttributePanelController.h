#pragma once

#include "tokens/TokenDetails.h"

#include <QListWidget>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QToolButton;

// The list of the token panel: Return or a double click inserts the selected
// token into the shown rule's token field; a row dragged onto a token field
// becomes a chip there.
class TokenAttributeTableView : public QListWidget {
    Q_OBJECT
public:
    static constexpr int TOKEN_ID_ROLE = Qt::UserRole + 1;
    explicit TokenAttributeTableView(QWidget* parent = nullptr);

signals:
    void tokenChosen(const QString& tokenId);

private:
    void choose(QListWidgetItem* item);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
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
