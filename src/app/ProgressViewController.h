// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

// The progress overlay at the bottom of the main column: a bar, a line of text
// and an abort button, driven by showProgressView, updateProgressView and
// hideProgressView. The abort button posts abortProcess.
class ProgressViewController : public QObject {
    Q_OBJECT
public:
    // The selector the main column lets through while input is blocked.
    static constexpr const char* ABORT_ACTION = "abortButton:";

    // Made on first use, kept for the whole run.
    static std::shared_ptr<ProgressViewController> shared();

    ProgressViewController();
    ~ProgressViewController() override;

    QWidget* view();
    QProgressBar* progressBar() const { return m_progressBar; }
    QLabel* progressText() const { return m_progressText; }
    QPushButton* abortButton() const { return m_abortButton; }
    // The bar's value in percent.
    double percentage() const { return m_percentage; }

    void showProgressView(const Notification& notification);
    void hideProgressView(const Notification& notification);
    void updateProgress(const Notification& notification);

public slots:
    void abortButton(QObject* sender);

private:
    void initObservers();
    void loadView();
    void updateUI(double value, const QString& text, bool abortButtonHidden);

    QPointer<QWidget> m_view;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_progressText = nullptr;
    QPushButton* m_abortButton = nullptr;
    double m_percentage = 0.0;
};
