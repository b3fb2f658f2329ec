// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "uikit/AlertPresenter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The application-modal message alerts. The pressed button is answered as a
// modal response: 1000 for the first button, 1001 for the second, and so on.
namespace Alert {

using ModalResponse = int;
inline constexpr ModalResponse FIRST_BUTTON = 1000;
// Closed without a button (Escape, the window's close button) where the alert
// answers so rather than taking a button for it.
inline constexpr ModalResponse NO_BUTTON = 0;

// Return at once from any thread; the main thread then shows the alert with one
// default button and drops the answer.
void warning(const QString& messageText, const QString& informativeText);
void info(const QString& messageText, const QString& informativeText);
// A warning that blocks nothing, shown beside the window while the user, the
// table and background work go on; from the main thread it is up on return,
// from any other it follows on the main thread.
void notice(const QString& messageText, const QString& informativeText);
// The same with lists under the texts, each scrolled on its own, so that the
// alert fits the screen however many items they hold.
void warning(const QString& messageText, const QString& informativeText, const QList<AlertList>& lists);

// Main thread only: shows a warning with `buttons` (none: one default button),
// blocks until one is pressed and hands its response to `response`.
void warning(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const std::function<void(ModalResponse)>& response);
// The same with a checkbox titled `checkboxTitle` under the texts; `response`
// also learns whether it was ticked. Closed without a button, it answers
// NO_BUTTON: the caller decides what that means.
void warning(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const QString& checkboxTitle, const std::function<void(ModalResponse, bool checkboxChecked)>& response);

// Main thread only: an informational alert with `buttons`; web addresses in
// the informative text become links. Closed without a button, it answers NO_BUTTON.
void info(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const std::function<void(ModalResponse)>& response);

// The key that presses a button: the title's first character in lower case;
// nothing for an empty title.
QString keyEquivalent(const QString& title);

} // namespace Alert
