// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesWindowController.h"

#include "app/PreferencesViewController.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesWindowController& PreferencesWindowController::shared()
{
    static PreferencesWindowController* controller = new PreferencesWindowController;
    return *controller;
}

PreferencesWindowController::PreferencesWindowController()
    : m_inputBlock([this](bool blocked) {
        if (m_content)
            m_content->setEnabled(!blocked);
    })
{
}

void PreferencesWindowController::windowDidLoad()
{
    m_window = new QDialog(QApplication::activeWindow());
    m_window->setWindowTitle(QStringLiteral("Preferences"));
    m_window->setAccessibleName(QStringLiteral("Preferences"));
    auto* layout = new QVBoxLayout(m_window);
    m_content = new PreferencesViewController(m_window);
    m_content->setEnabled(!m_inputBlock.isBlocked());
    layout->addWidget(m_content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_window);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { cancel(nullptr); });
    layout->addWidget(buttons);
}

void PreferencesWindowController::preferencesAction(QObject*)
{
    if (!m_window)
        windowDidLoad();
    else
        m_content->viewWillAppear();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void PreferencesWindowController::cancel(QObject*)
{
    if (m_window)
        m_window->hide();
}
