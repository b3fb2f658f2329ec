// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SerialExecutor.h"

// The four serial executors that carry the background work.
namespace GlobalActors {

SerialExecutor& transformation();   // quick and full transformation, the rename run
SerialExecutor& validation();       // validation jobs
SerialExecutor& transformationQueue(); // the single-file queue
SerialExecutor& fileAttributes();   // attribute preloading

// Cancels every task, ends every HTTP request and the executors' threads;
// runs by itself when the application object is destroyed. The executors then
// ignore new work.
void shutdown();
// True once the application quits: waits and lookups give up at once.
bool isShuttingDown();
// Makes sure shutdown() runs when the application object is destroyed.
void watchApplication();

} // namespace GlobalActors
