// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"
#include "platform/Task.h"

#include <QObject>

// Where events of the window and the stores enter the engine: applyChanges
// starts a new preview (cancelling the pending one), commitChanges starts the
// rename run unless one is held, abortProcess cancels the rename run and
// cancelPendingTransformationTasks cancels the preview.
//
// Main thread. Both runs execute on GlobalActors::transformation(); a cancelled
// run is never waited for, and a run that ends clears only its own handle.
// Destroying the handler releases the handles without cancelling their runs.
class TransformationEventHandler : public QObject {
public:
    explicit TransformationEventHandler(QObject* parent = nullptr);

    const TaskHandle& transformationTask() const { return m_transformationTask; }
    const TaskHandle& transformationQuickTask() const { return m_transformationQuickTask; }

    virtual void cancelPendingTransformationTasksEvent();
    virtual void commitChangesAsyncEvent(const Notification& notification);
    virtual void abortProcessEvent();

protected:
    virtual void applyChangesEvent();

private:
    TaskHandle m_transformationTask;      // the rename run
    TaskHandle m_transformationQuickTask; // the preview
};
