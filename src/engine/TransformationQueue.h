// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"
#include "files/FileQueue.h"

// Files whose preview needs data that was not cached yet are finished one at a
// time with the rules' full form, each written back as soon as it is done.
// Requests may come from any thread and return at once; the waiting list lives
// on GlobalActors::transformationQueue(), the single processing run is started
// and held on the main thread.
namespace TransformationQueue {

enum class TransformationPriority { high, normal };

// Queues the file unless it is clean and not waiting for a late update. High
// priority puts it in front (as the newer copy); normal keeps an already
// queued copy in its place. A full queue refuses the newcomer.
void enqueFileTransformation(const File& file, TransformationPriority priority);

// Cancels the processing run; the waiting files stay.
void resetQueue();

// The waiting list; touch it only on the queue executor.
FileQueue& fileTransformQueue();

// Main thread: whether a processing run is held.
bool isProcessing();

} // namespace TransformationQueue
