// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"
#include "uikit/ModalViewController.h"

class QLabel;
class QPushButton;

// The one shared alert sheet: a message, an informative text and one button.
// showModalAlert shows it (again: counted), hideModalAlert, its button, Escape,
// keypad Enter or Space take one show down. It never blocks the poster.
class ModalAlertViewController final : public ModalViewController {
    Q_OBJECT
public:
    // Made and subscribed on the first call, kept for the whole run.
    static ModalAlertViewController& shared();

    QLabel* messageText() const { return m_messageText; }
    QLabel* informativeText() const { return m_informativeText; }
    QPushButton* defaultButton() const { return m_defaultButton; }

    void showModalAlert(const Notification& notification);
    void buttonAction();

protected:
    bool handleKeyDown(QKeyEvent* event) override;

private:
    ModalAlertViewController();
    void initModalAlert();

    QLabel* m_messageText = nullptr;
    QLabel* m_informativeText = nullptr;
    QPushButton* m_defaultButton = nullptr;
};
