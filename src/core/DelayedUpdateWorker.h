// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Clock;

// The debounce of rule edits: the first call of a burst starts one delay of 0.7
// seconds; then the current rule is saved (transformButtonSave) and, when that
// first call asked for it, the preview re-runs (applyChanges). Calls made while
// the delay runs are dropped with their flags. Main thread only.
namespace DelayedUpdateWorker {

void scheduleDelayedUpdate(bool postApplyChanges);
bool isPending();

// The clock the delay sleeps on; tests drive it by hand.
void setClock(Clock* clock);

} // namespace DelayedUpdateWorker
