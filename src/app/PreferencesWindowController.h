// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include "app/PreferencesViewController.h"
#include "core/UserInputBlockObserver.h"
#include <QDialog>

// The one preferences window, made on first use and kept for the run. While
// input is blocked (a rename run reads the preferences) its settings cannot
// be changed; it can still be closed.
class PreferencesWindowController : public QObject {
    Q_OBJECT
public:
    static PreferencesWindowController& shared();
    PreferencesWindowController();

    QDialog* window() const { return m_window; }
    PreferencesViewController* contentViewController() const { return m_content; }

public slots:
    // Shows the window, reading every setting afresh.
    void preferencesAction(QObject* sender);
    void cancel(QObject* sender);

private:
    void windowDidLoad();

    QPointer<QDialog> m_window;
    QPointer<PreferencesViewController> m_content;
    UserInputBlockObserver m_inputBlock;
};
