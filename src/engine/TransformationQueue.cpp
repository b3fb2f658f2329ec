// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationQueue.h"

#include "engine/FileTransformationWorker.h"
#include "platform/GlobalActors.h"
#include "platform/MainThread.h"
#include "platform/Task.h"

namespace TransformationQueue {

namespace {

TaskHandle& transformationTask() // main thread only
{
    static TaskHandle task;
    return task;
}

void processQueue()
{
    TaskHandle& task = transformationTask();
    if (task.isValid())
        return; // the running drain picks the new file up
    task = TaskHandle::detached([](std::stop_token stop) {
        FileTransformationWorker::processQueue(fileTransformQueue(), stop);
        MainThread::post([stop] {
            TaskHandle& current = transformationTask();
            if (!current.isValid() || current.stopToken() != stop)
                return;
            current = TaskHandle();
            // A file queued after the drain saw the queue empty found this run
            // still held: start again for it.
            if (!stop.stop_requested()) {
                GlobalActors::transformationQueue().submit([] {
                    if (fileTransformQueue().count() > 0)
                        MainThread::post(processQueue);
                });
            }
        });
    });
}

} // namespace

FileQueue& fileTransformQueue()
{
    static FileQueue queue;
    return queue;
}

void enqueFileTransformation(const File& file, TransformationPriority priority)
{
    if (!file.transformed.isDirty && !file.transformed.lateUpdateRequired)
        return;
    GlobalActors::transformationQueue().submit([file, priority] {
        if (priority == TransformationPriority::high)
            fileTransformQueue().addToFront(file);
        else
            fileTransformQueue().addToBack(file);
        MainThread::post(processQueue);
    });
}

void resetQueue()
{
    MainThread::post([] { transformationTask().cancel(); });
}

bool isProcessing()
{
    return transformationTask().isValid();
}

} // namespace TransformationQueue
