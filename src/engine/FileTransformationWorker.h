// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileQueue.h"

#include <stop_token>

// Drains the single-file queue.
namespace FileTransformationWorker {

// Takes the files one by one (on the queue executor, so that new requests
// join between files) and transforms each from its current state in the store
// on the transformation executor. The files done are written back together,
// validated with the whole list, whenever the queue runs empty and now and
// then during a long drain; the table is told to reload at the end.
// Runs on a worker of its own; a cancelled or aborted drain empties the queue.
void processQueue(FileQueue& queue, std::stop_token stop = {});

} // namespace FileTransformationWorker
