// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationEventHandler.h"

#include "core/AppNotification.h"
#include "engine/TransformationService.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"

#include <QPointer>

namespace {

// Clears `handle` when it still names the run of `stop`: a newer run's handle stays.
void clearIfCurrent(TaskHandle& handle, const std::stop_token& stop)
{
    if (handle.isValid() && handle.stopToken() == stop)
        handle = TaskHandle();
}

} // namespace

TransformationEventHandler::TransformationEventHandler(QObject* parent)
    : QObject(parent)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::applyChanges, [this](const Notification&) { applyChangesEvent(); });
    center.addObserver(this, NotificationName::commitChanges,
        [this](const Notification& notification) { commitChangesAsyncEvent(notification); });
    center.addObserver(this, NotificationName::abortProcess, [this](const Notification&) { abortProcessEvent(); });
    center.addObserver(this, NotificationName::cancelPendingTransformationTasks,
        [this](const Notification&) { cancelPendingTransformationTasksEvent(); });
}

void TransformationEventHandler::applyChangesEvent()
{
    Q_ASSERT(MainThread::isCurrent());
    cancelPendingTransformationTasksEvent();
    const QPointer<TransformationEventHandler> self(this);
    m_transformationQuickTask = TaskHandle::start(GlobalActors::transformation(), [self](std::stop_token stop) {
        TransformationService::shared().transformAllFilesQuick(stop, QStringLiteral("applyChangesEvent()"));
        MainThread::post([self, stop] {
            if (self)
                clearIfCurrent(self->m_transformationQuickTask, stop);
        });
    });
}

void TransformationEventHandler::cancelPendingTransformationTasksEvent()
{
    Q_ASSERT(MainThread::isCurrent());
    if (!m_transformationQuickTask.isValid())
        return;
    Log::debug(Log::Category::background, "Cancelling pending transformation tasks [%s]", "transformationQuickTask");
    m_transformationQuickTask.cancel();
    m_transformationQuickTask = TaskHandle();
}

void TransformationEventHandler::commitChangesAsyncEvent(const Notification&)
{
    Q_ASSERT(MainThread::isCurrent());
    if (m_transformationTask.isValid()) {
        Log::error(Log::Category::process, "transformationTask already running.");
        return;
    }
    const QPointer<TransformationEventHandler> self(this);
    m_transformationTask = TaskHandle::start(GlobalActors::transformation(), [self](std::stop_token stop) {
        TransformationService::shared().applyTransformationsAndRename(true, stop);
        MainThread::post([self, stop] {
            if (self)
                clearIfCurrent(self->m_transformationTask, stop);
        });
    });
}

void TransformationEventHandler::abortProcessEvent()
{
    Q_ASSERT(MainThread::isCurrent());
    if (!m_transformationTask.isValid())
        return;
    Log::debug(Log::Category::process, "abortProcessEvent");
    m_transformationTask.cancel();
    m_transformationTask = TaskHandle();
}
