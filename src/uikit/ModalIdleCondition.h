// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Queued notifications are delivered only when the event loop is idle: not while
// a modal dialog or a popup (menu, combo list) is open.
namespace ModalIdleCondition {

bool isEventLoopIdle();
// Makes the default notification queue wait for modal dialogs and popups.
void install();

} // namespace ModalIdleCondition
