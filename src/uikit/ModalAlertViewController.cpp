// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ModalAlertViewController.h"

#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"
#include "uikit/KeyUtils.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TEXT_WIDTH = 320;

QLabel* plainLabel(QWidget* parent)
{
    // The texts may come from file names and errors: never rich text.
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(TEXT_WIDTH);
    return label;
}
} // namespace

ModalAlertViewController& ModalAlertViewController::shared()
{
    // The sheet belongs to the window it is shown over while it is up; should that
    // window go first, a new one takes its place.
    static QPointer<ModalAlertViewController> controller;
    if (!controller)
        controller = new ModalAlertViewController;
    return *controller;
}

ModalAlertViewController::ModalAlertViewController()
{
    m_messageText = plainLabel(this);
    QFont bold = m_messageText->font();
    bold.setBold(true);
    m_messageText->setFont(bold);
    m_informativeText = plainLabel(this);
    m_defaultButton = new QPushButton(QStringLiteral("OK"), this);
    m_defaultButton->setDefault(true);
    connect(m_defaultButton, &QPushButton::clicked, this, &ModalAlertViewController::buttonAction);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_defaultButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_messageText);
    layout->addWidget(m_informativeText);
    layout->addLayout(buttons);

    initModalAlert();
}

void ModalAlertViewController::initModalAlert()
{
    // The observers stay for the whole run and reach whichever instance is shared
    // at the time, also one made after its predecessor went with its window.
    static const bool subscribed = [] {
        auto& center = NotificationCenter::defaultCenter();
        center.addObserver(nullptr, NotificationName::showModalAlert,
            [](const Notification& notification) { shared().showModalAlert(notification); });
        center.addObserver(nullptr, NotificationName::hideModalAlert,
            [](const Notification&) { shared().hideModalView(); });
        return true;
    }();
    Q_UNUSED(subscribed);
}

void ModalAlertViewController::showModalAlert(const Notification& notification)
{
    const auto payload = AppNotification::ShowModalAlertView::get(notification);
    m_messageText->setText(payload.messageText);
    m_informativeText->setText(payload.informativeText);
    m_informativeText->setVisible(!payload.informativeText.isEmpty());
    showModalView();
}

void ModalAlertViewController::buttonAction()
{
    hideModalView();
}

bool ModalAlertViewController::handleKeyDown(QKeyEvent* event)
{
    const auto code = KeyUtils::keyCode(*event);
    if (code == KeyCode::escape || code == KeyCode::enter || code == KeyCode::space) {
        hideModalView();
        return true;
    }
    return false;
}
