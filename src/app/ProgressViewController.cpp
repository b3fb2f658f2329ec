// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgressViewController.h"

#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

std::shared_ptr<ProgressViewController> ProgressViewController::shared()
{
    static const auto instance = std::make_shared<ProgressViewController>();
    return instance;
}

ProgressViewController::ProgressViewController()
{
    initObservers();
}

ProgressViewController::~ProgressViewController()
{
    // A view still placed in a window belongs to that window.
    if (m_view && !m_view->parent())
        delete m_view;
}

void ProgressViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::showProgressView, [this](const Notification& n) { showProgressView(n); });
    center.addObserver(this, NotificationName::hideProgressView, [this](const Notification& n) { hideProgressView(n); });
    center.addObserver(this, NotificationName::updateProgressView, [this](const Notification& n) { updateProgress(n); });
    loadView();
}

QWidget* ProgressViewController::view()
{
    if (!m_view)
        loadView();
    return m_view;
}

void ProgressViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("ProgressView"));
    m_progressBar = new QProgressBar(view);
    // Tenths of a percent, so that 1 of 3 shows as 33.3 and not 33.
    m_progressBar->setRange(0, 1000);
    m_progressBar->setTextVisible(false);
    m_progressText = new QLabel(view);
    // Labels of a run may carry file names: never read as markup.
    m_progressText->setTextFormat(Qt::PlainText);
    m_abortButton = new QPushButton(QStringLiteral("Abort"), view);
    m_abortButton->setProperty("selector", QString::fromLatin1(ABORT_ACTION));
    connect(m_abortButton, &QPushButton::clicked, this, [this] { abortButton(m_abortButton); });
    auto* layout = new QHBoxLayout(view);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->addWidget(m_progressBar, 1);
    layout->addWidget(m_progressText);
    layout->addWidget(m_abortButton);
    m_view = view;
}

void ProgressViewController::abortButton(QObject* sender)
{
    AppNotification::post(NotificationName::abortProcess, {}, std::nullopt, QStringLiteral("abortButton(_:)"));
}

void ProgressViewController::showProgressView(const Notification&)
{
    updateUI(0.0, QString(), true);
    view()->show();
}

void ProgressViewController::hideProgressView(const Notification&)
{
    view()->hide();
}

void ProgressViewController::updateProgress(const Notification& notification)
{
    const Progress progress = AppNotification::UpdateProgressView::get(notification);
    // No maximum means nothing to measure yet: an empty bar, never a division by zero.
    const double percentage = progress.maxProgressCount > 0
        ? static_cast<double>(progress.currentProgressCount * 100) / static_cast<double>(progress.maxProgressCount)
        : 0.0;
    const QString text = QStringLiteral("%1 %2 of %3")
                             .arg(progress.label)
                             .arg(progress.currentProgressCount)
                             .arg(progress.maxProgressCount);
    updateUI(percentage, text, !progress.abortable);
}

void ProgressViewController::updateUI(double value, const QString& text, bool abortButtonHidden)
{
    view();
    m_percentage = value;
    m_progressBar->setValue(static_cast<int>(std::lround(std::clamp(value, 0.0, 100.0) * 10.0)));
    m_progressText->setText(text);
    m_abortButton->setHidden(abortButtonHidden);
}
