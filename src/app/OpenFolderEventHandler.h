// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FileAction.h"
#include "files/RejectedDirectory.h"
#include "platform/Notification.h"
#include "platform/Task.h"
#include "uikit/AlertPresenter.h"

#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>

// The one way in for files and folders: every entry posts openFolder. It asks
// replace or append when the request wants it and files are listed, then opens
// the URLs in a task: walks them off the main thread, replaces or appends in the
// store as one undoable step, re-sorts after a replace and reports refused folders.
// A replace supersedes the opens before it; an append waits for them and adds to
// what they listed.
class OpenFolderEventHandler : public QObject {
    Q_OBJECT
public:
    static constexpr const char* FUNCTION = "openAllFilesAndDirectories(_:action:)";

    OpenFolderEventHandler();

    // The open started last through openFolder or openFolderAndWait; invalid when idle.
    const TaskHandle& openFilesTask() const { return m_openFilesTask; }

    void openFolderEvent(const Notification& notification);
    void openFolderAndWaitEvent(const Notification& notification);

    // The refusals grouped by reason: the informative text counts each group,
    // and each group's list holds its paths. Empty when nothing was refused.
    struct RejectionReport {
        QString informativeText;
        QList<AlertList> lists;
    };
    static RejectionReport rejectionReport(const QList<RejectedDirectory>& rejected);

private:
    void askToOpenFilesAndDirectories(const QList<QUrl>& urls);
    void startStoredOpen(const QList<QUrl>& urls, FileAction action, std::function<void()> finished = {});
    // Starts the open; `finished` runs on the main thread when it is over.
    static TaskHandle openAllFilesAndDirectories(const QList<QUrl>& urls, FileAction action, std::function<void()> finished);

    struct PendingOpen {
        QList<QUrl> urls;
        FileAction action;
        std::function<void()> finished;
    };
    // Starts the open as the handler's task; the next waiting one follows it.
    void startOpen(PendingOpen open);

    TaskHandle m_openFilesTask;
    QList<PendingOpen> m_pendingOpens;
};
