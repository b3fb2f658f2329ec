// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationQueue.h"

#include <QDialog>

#include <functional>
#include <optional>

class QKeyEvent;

// A window-modal sheet over the rule editor that survives being shown again
// while it is up: each extra show is counted, and only the matching number of
// hides takes it down. While it is up it sees every key press typed into it
// first, and queued notifications wait for it.
class ModalViewController : public QDialog {
    Q_OBJECT
public:
    explicit ModalViewController(QWidget* parent = nullptr);
    ~ModalViewController() override;

    // Shows beyond the presenting one that still await a hide.
    int showCount() const { return m_showCount; }
    bool isPresented() const { return m_presented; }

    void showModalView();
    void hideModalView();

    // The widget over whose window sheets appear; the rule editor's view once the
    // window is built. Without one, the active window is used.
    static void setPresentingWidgetProvider(std::function<QWidget*()> provider);

protected:
    // Every key press typed into the sheet while it is up comes here first;
    // answer true to consume it. The base lets every key go on.
    virtual bool handleKeyDown(QKeyEvent* event);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void endPresentation();
    void removeKeyMonitor();

    int m_showCount = 0;
    bool m_presented = false;
    bool m_keyMonitorInstalled = false;
    std::optional<ModalScope> m_modalScope;
};
