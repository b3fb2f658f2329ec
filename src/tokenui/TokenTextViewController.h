// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenDetails.h"
#include "tokens/TokenString.h"
#include "platform/Notification.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTableWidget>
#include <QWidget>

#include <optional>

class QTabWidget;
class QPushButton;

// One category's tokens: the chip and its description. Enter chooses the
// selected token; typing finds a token by its id from the first "." on.
class TokenTableView : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int descriptionColumnWidth = 156;

    // `identifier` names the category: "file", "exif", "gps", "id3", "flac" or "av".
    explicit TokenTableView(const QString& identifier, QWidget* parent = nullptr);

    // The catalog entries of the category; none for another identifier.
    QList<TokenDetailsRef> getData() const;
    const QList<TokenDetailsRef>& data() const { return m_data; }
    // The text type-select compares with: the token id from its first ".".
    static QString typeSelectString(const QString& tokenId);
    // The height of a row: its description measured in the description
    // column, at most as high as the table was when made, plus 1.5 cap heights.
    int heightOfRow(int row) const;
    // The selected row's token; none without a selected row.
    std::optional<TokenString> selectedTokenString() const;

    void keyboardSearch(const QString& search) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A row reached with the keyboard is the selected one, so Return chooses it.
    void focusInEvent(QFocusEvent* event) override;

private:
    QList<TokenDetailsRef> m_data;
    int m_descriptionColumnMaxHeight;
    QString m_typedText;
    QElapsedTimer m_typing;
};

// The token chooser: the attribute tokens in one tab per category. Choosing
// one (Enter, a double click) inserts it into the shown rule's token field
// as the token panel does; the pane stays open for more.
class TokenTextViewController : public QWidget {
    Q_OBJECT
public:
    // Where the user last left the window, relative to its target field.
    static inline const QString OFFSET_KEY = QStringLiteral("com.quendrel.brackenfold.tokenTextViewOffset");

    explicit TokenTextViewController(QWidget* parent = nullptr);

    // The field the window opens by; none places it where the platform does.
    QWidget* targetTextField() const { return m_targetTextField; }
    void setTargetTextField(QWidget* field) { m_targetTextField = field; }

    QTabWidget* tabView() const { return m_tabView; }
    QPushButton* closeButton() const { return m_closeButton; }
    TokenTableView* tableView(int tab) const;

    void closeButtonAction();
    void tableViewDoubleClickAction(TokenTableView* tableView);
    void showTokenTextView();
    void hideTokenTextView();
    void dismissNotification();
    void selectAttribute(const Notification& notification);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusCurrentTable();
    void initObservers();
    void selectAttribute(const TokenString& tokenString);
    // Places the window by its target field: where the user last left it,
    // else just below the field (above when there is no room), on screen.
    void placeByTargetTextField();

    QTabWidget* m_tabView;
    QPushButton* m_closeButton;
    QPointer<QWidget> m_targetTextField;
    std::optional<QPoint> m_placedAt;
};
