// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "uikit/AlertPresenter.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <vector>

// Answers alerts with a scripted button and records sheets instead of showing
// them, so tests need no modal loop. Installed for its lifetime.
class ScriptedAlertPresenter final : public AlertPresenter {
public:
    ScriptedAlertPresenter() { AlertPresenter::setCurrent(this); }
    ~ScriptedAlertPresenter() override { AlertPresenter::setCurrent(nullptr); }

    // The button index the next alerts answer (NO_BUTTON: closed without one).
    int answer = 0;
    // Whether an alert with a checkbox answers it ticked.
    bool checkboxAnswer = false;

    int runAlert(const AlertRequest& request) override
    {
        requests.push_back(request);
        if (onRequest)
            onRequest(request);
        return answer;
    }
    AlertAnswer runAlertWithCheckbox(const AlertRequest& request) override
    {
        return { runAlert(request), checkboxAnswer };
    }
    void showNotice(const AlertRequest& request) override { notices.push_back(request); }
    void presentSheet(QDialog* sheet, QWidget* parent) override
    {
        presented << sheet;
        presentedOver << parent;
    }
    void dismissSheet(QDialog* sheet) override { dismissed << sheet; }

    // Called as each alert comes, to look at what else holds at that moment.
    std::function<void(const AlertRequest&)> onRequest;

    std::vector<AlertRequest> requests;
    std::vector<AlertRequest> notices;
    QList<QDialog*> presented;
    QList<QWidget*> presentedOver;
    QList<QDialog*> dismissed;
};
