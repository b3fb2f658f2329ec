// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "platform/Notification.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class ButtonViewController;
class QLabel;
class QAction;
class QProgressBar;
class QPushButton;
class QScrollArea;
class SelectorLineView;
class Transformers;

// The bar at the top of the window: the rule buttons with the selector line
// under them, the count of files a rename would change, a busy indicator with
// the messages of running work, and the Rename button.
class TransformViewController : public QWidget {
    Q_OBJECT
public:
    struct ProgressMessage {
        QString id;
        QString message;
    };

    // The rule list is looked up by the caller (the registry in the window).
    explicit TransformViewController(Transformers* transformers, QWidget* parent = nullptr);

    QPushButton* renameButton() const { return m_renameButton; }
    QLabel* fileCountLabel() const { return m_fileCountLabel; }
    QProgressBar* progressIndicator() const { return m_progressIndicator; }
    SelectorLineView* selectorLine() const { return m_selectorLine; }
    ButtonViewController* buttonViewController() const { return m_buttonViewController; }
    std::optional<qint64> renameCount() const { return m_renameCount; }
    const QList<ProgressMessage>& progressMessages() const { return m_progressMessages; }

    void enableUserInputEvent();
    void disableUserInputEvent();
    void fileValidationResultEvent(const Notification& notification);
    void updateSelectorLocation(QWidget* sender);
    void showProgressIndicator(const Notification& notification);
    void hideProgressIndicator(const Notification& notification);

    // A mouse click, or Return or Enter while the button has the focus.
    void renameButtonClicked();
    // The count label: the files a rename would change, "1 file", "12 files".
    static QString countText(qint64 renameCount);
    // The rename menu command: enabled exactly when the button is.
    bool validateRenameMenuItem() const;
    Q_INVOKABLE void renameFiles(QObject* sender = nullptr);
    Q_INVOKABLE bool validateMenuItem(QAction* item) const;
    // The controllers below this one that answer menu commands: the rule buttons.
    Q_INVOKABLE QList<QObject*> childViewControllers() const;
    // The rule buttons scroll sideways when they do not fit.
    QScrollArea* buttonScrollArea() const { return m_buttonScrollArea; }
    // The time the guard against a second rename request reads; null restores
    // the system clock.
    void setClock(Clock* clock);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initButtonView(Transformers* transformers);
    void initObservers();
    void updateRenameButton();
    void updateLabels();
    void updateProgressIndicatorAnimation();
    void transformButtonUpdatedEvent();
    void postCommitChanges();
    bool isSecondRequest() const;

    QPushButton* m_renameButton;
    QWidget* m_buttonView;
    QScrollArea* m_buttonScrollArea;
    QLabel* m_fileCountLabel;
    QProgressBar* m_progressIndicator;
    SelectorLineView* m_selectorLine;
    std::optional<qint64> m_renameCount;
    bool m_userInputEnabled = true;
    QList<ProgressMessage> m_progressMessages;
    // One intention, one rename: a run this bar asked for, from the request to
    // the preview of the renamed list.
    Clock* m_clock = &Clock::system();
    bool m_runRequested = false;
    bool m_runGoing = false;
    bool m_awaitingPreview = false;
    std::optional<Clock::TimePoint> m_runEndedAt;
    ButtonViewController* m_buttonViewController;
};
