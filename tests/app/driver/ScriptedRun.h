// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// For end-to-end runs: with BRACKENFOLD_SCRIPT=path set, the application plays
// the steps of that file once it has started, through the same controls a user
// works, and quits. Without the variable it does nothing. One step a line
// ("#" starts a comment):
//   wait-files N        until the file list holds N files
//   add-rule KIND       the rule bar's add action, then the rule editor's kind ("simple", ...)
//   find-text TEXT      typed into the shown editor's find field
//   replace-text TEXT   typed into the shown editor's text field
//   number-digits N     typed over the Numbering editor's digit count, then Return
//   number-separator T  typed into the Numbering editor's separator, then Return
//   wait-preview        until the preview of the last edit is validated and Rename is enabled
//   rename              a click on the Rename button
//   wait-rename         until the rename run has given the input back
//   key SEQUENCE        a key press as the keyboard sends it ("Ctrl+Shift+N", "Delete")
//   type TEXT           typed into the focused control
//   tab-to NAME         Tab until the control with that accessible name has the focus
//   expect-focus NAME   the control with that accessible name has the focus
//   expect-rules N      the rule list holds N rules
//   expect-current I    the rule at position I (from 0) is the current one
//   palette dark|light  the application's palette of a dark or a light desktop theme
//   screenshot PATH     a picture of the window
//   quit                ends the application with status 0
// A step that fails or waits longer than a minute ends it with status 2.
class ScriptedRun : public QObject {
    Q_OBJECT
public:
    static void installFromEnvironment(QWidget* window);

private:
    // A step is tried again on every tick until it answers true.
    using Step = std::function<bool()>;

    ScriptedRun(QWidget* window, QObject* parent);
    bool load(const QString& path);
    bool appendSteps(const QString& verb, const QString& argument);
    void tick();
    void fail(const QString& reason);

    QPointer<QWidget> m_window;
    QList<std::pair<QString, Step>> m_steps;
    int m_current = 0;
    int m_waitedTicks = 0;
    // Notifications counted since start-up.
    int m_applyChanges = 0;
    int m_validatedAfterApply = 0;
    bool m_renameBlocked = false;
    bool m_renameReleased = false;
};
