// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"
#include "platform/Clock.h"
#include "platform/Task.h"

#include <QList>
#include <QUrl>

#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>

// Loads the attributes of every listed file that has none yet, one file after
// the other on the attribute executor, while some rule uses file attributes.
// Results go into the file list store on the main thread, only while the store
// still holds the list they were read for; the preview is asked to run again
// at most every 2 seconds and once at the end. Callable from any thread: the
// main thread never waits for it.
class FileAttributesWorker {
public:
    // Answers on the main thread whether some rule of the list uses file attributes.
    using RuleUsage = std::function<bool()>;

    static FileAttributesWorker& shared();

    void setRuleUsage(RuleUsage usage);
    // Tests pace the 2-second throttle by hand; null restores the system clock.
    void setClock(Clock* clock);

    // Starts a background preload unless one runs; returns without waiting.
    void preloadAllAttributes();
    // Cancels the background preload and loads what is missing in the calling
    // thread; returns when done or when `stop` is requested. Never on the main thread.
    void preloadAllAttributesNow(std::stop_token stop = {});
    // Cancels the background preload and forgets it.
    void cancel();
    // Asks the shared worker to cancel its preload; the handle stays until the
    // next start replaces it.
    static void cancelPreload();

    // The running background preload, if any.
    TaskHandle currentTask() const;

    // One file to preload: where its attributes go and where they come from.
    struct Entry {
        qint64 index = -1;
        qint64 fileGenerationId = -1;
        QUrl url;
        std::optional<FileAttributes> attributes;
    };

private:
    FileAttributesWorker() = default;

    QList<Entry> getFilesToPreload();
    void startNewPreloadAttributesTask(QList<Entry> files);
    void preloadAttributes(const QList<Entry>& files, std::stop_token stop);
    Clock& clock() const;

    mutable std::mutex m_mutex; // guards the members below
    RuleUsage m_ruleUsage;
    Clock* m_clock = nullptr;
    TaskHandle m_task;
    // Decisions (what to preload, whether to start) are taken one at a time.
    std::mutex m_decision;
};
