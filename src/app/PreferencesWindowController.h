#pragma once

#include <QObject>
#include <QPointer>

#include "app/PreferencesViewController.h"
#include <QDialog>

// The one preferences window, made on first use and kept for the run.
class PreferencesWindowController : public QObject {
    Q_OBJECT
public:
    static PreferencesWindowController& shared();

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
};
