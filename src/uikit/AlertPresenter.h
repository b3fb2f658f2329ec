// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

enum class AlertStyle { warning = 0, informational = 1 };

// A titled list under an alert's texts, scrolled when long.
struct AlertList {
    QString title;
    QStringList items;
    bool operator==(const AlertList&) const = default;
};

// One alert to show: its texts, style and buttons in order, each button with
// its key (empty: none). No buttons means one default button. A checkbox title
// adds a checkbox under the texts, unticked at first.
struct AlertRequest {
    QString messageText;
    QString informativeText;
    AlertStyle style = AlertStyle::warning;
    QStringList buttons;
    QStringList keyEquivalents;
    QString checkboxTitle;
    // Web addresses in the informative text become links; the rest stays plain text.
    bool linkify = false;
    QList<AlertList> lists;
};

// The pressed button's index (or AlertPresenter::NO_BUTTON) and whether the
// request's checkbox was ticked when the alert closed.
struct AlertAnswer {
    int button = -1;
    bool checkboxChecked = false;
};

// Shows alerts and sheets. The application uses the dialog presenter; tests
// install a scripted one, so nothing needs a real modal loop.
class AlertPresenter {
public:
    // Answer of runAlert when the alert was closed without pressing a button.
    static constexpr int NO_BUTTON = -1;

    virtual ~AlertPresenter() = default;

    // Blocks until a button is pressed; answers its index (0 = first button).
    virtual int runAlert(const AlertRequest& request) = 0;
    // The same, with the state of the request's checkbox. A presenter that
    // shows no checkbox answers it unticked.
    virtual AlertAnswer runAlertWithCheckbox(const AlertRequest& request) { return { runAlert(request), false }; }
    // Shows the alert and returns at once; it holds back neither the windows
    // nor the queued notifications, and its button only closes it.
    virtual void showNotice(const AlertRequest& request) = 0;
    // Shows `sheet` window-modal over `parent` (null: over no window) and returns.
    virtual void presentSheet(QDialog* sheet, QWidget* parent) = 0;
    virtual void dismissSheet(QDialog* sheet) = 0;

    // The presenter in use; setting null restores the dialog presenter.
    static AlertPresenter& current();
    static void setCurrent(AlertPresenter* presenter);
};

// Runs a dialog built in code for alerts and opens sheets as window-modal
// dialogs. Texts are plain text: alert texts may come from outside.
class DialogAlertPresenter final : public AlertPresenter {
public:
    int runAlert(const AlertRequest& request) override;
    AlertAnswer runAlertWithCheckbox(const AlertRequest& request) override;
    void showNotice(const AlertRequest& request) override;
    void presentSheet(QDialog* sheet, QWidget* parent) override;
    void dismissSheet(QDialog* sheet) override;
};
