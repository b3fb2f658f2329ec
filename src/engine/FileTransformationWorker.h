// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileQueue.h"

#include <stop_token>

// Drains the single-file queue.
namespace FileTransformationWorker {

// Takes the files one by one (on the queue executor, so that new requests
// join between files), transforms each from its current state in the store
// on the transformation executor, and tells the table to reload at the end.
// Runs on a worker of its own; a cancelled or aborted drain empties the queue.
void processQueue(FileQueue& queue, std::stop_token stop = {});

} // namespace FileTransformationWorker
