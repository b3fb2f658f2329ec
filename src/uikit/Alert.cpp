// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/Alert.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "uikit/AlertPresenter.h"

namespace Alert {

namespace {
struct Shown {
    ModalResponse response;
    bool checkboxChecked;
};

enum class WhenClosed { lastButton, noButton };

Shown showAlert(const QString& messageText, const QString& informativeText, AlertStyle style,
    const QStringList& buttons, const QString& checkboxTitle = {}, WhenClosed whenClosed = WhenClosed::lastButton,
    const QList<AlertList>& lists = {})
{
    AlertRequest request { messageText, informativeText, style, buttons, {}, checkboxTitle };
    request.lists = lists;
    for (const QString& title : buttons)
        request.keyEquivalents << keyEquivalent(title);
    const int count = buttons.isEmpty() ? 1 : static_cast<int>(buttons.size());
    AlertAnswer answer;
    if (checkboxTitle.isEmpty())
        answer.button = AlertPresenter::current().runAlert(request);
    else
        answer = AlertPresenter::current().runAlertWithCheckbox(request);
    const int pressed = answer.button;
    if (pressed >= 0 && pressed < count)
        return { FIRST_BUTTON + pressed, answer.checkboxChecked };
    // Closed by the window manager: taken as the last, least committal button
    // unless the caller gives closing a meaning of its own.
    if (whenClosed == WhenClosed::noButton)
        return { NO_BUTTON, answer.checkboxChecked };
    return { FIRST_BUTTON + count - 1, answer.checkboxChecked };
}

bool isMainThread(const QString& messageText)
{
    if (MainThread::isCurrent())
        return true;
    Log::fault(Log::Category::ui, "Alert.warning with buttons called off the main thread: %{public}s", messageText);
    return false;
}

void showLater(const QString& messageText, const QString& informativeText, AlertStyle style,
    const QList<AlertList>& lists = {})
{
    MainThread::post([messageText, informativeText, style, lists] {
        showAlert(messageText, informativeText, style, {}, {}, WhenClosed::lastButton, lists);
    });
}
} // namespace

void warning(const QString& messageText, const QString& informativeText)
{
    showLater(messageText, informativeText, AlertStyle::warning);
}

void warning(const QString& messageText, const QString& informativeText, const QList<AlertList>& lists)
{
    showLater(messageText, informativeText, AlertStyle::warning, lists);
}

void info(const QString& messageText, const QString& informativeText)
{
    showLater(messageText, informativeText, AlertStyle::informational);
}

void notice(const QString& messageText, const QString& informativeText)
{
    const auto show = [messageText, informativeText] {
        AlertPresenter::current().showNotice(AlertRequest { messageText, informativeText, AlertStyle::warning, {}, {}, {} });
    };
    // On the main thread it is up before the caller goes on.
    if (MainThread::isCurrent())
        show();
    else
        MainThread::post(show);
}

void warning(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const std::function<void(ModalResponse)>& response)
{
    if (!isMainThread(messageText))
        return;
    const Shown shown = showAlert(messageText, informativeText, AlertStyle::warning, buttons);
    if (response)
        response(shown.response);
}

void warning(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const QString& checkboxTitle, const std::function<void(ModalResponse, bool checkboxChecked)>& response)
{
    if (!isMainThread(messageText))
        return;
    const Shown shown = showAlert(messageText, informativeText, AlertStyle::warning, buttons, checkboxTitle, WhenClosed::noButton);
    if (response)
        response(shown.response, shown.checkboxChecked);
}

void info(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const std::function<void(ModalResponse)>& response)
{
    if (!isMainThread(messageText))
        return;
    AlertRequest request { messageText, informativeText, AlertStyle::informational, buttons, {}, {}, true };
    for (const QString& title : buttons)
        request.keyEquivalents << keyEquivalent(title);
    const int pressed = AlertPresenter::current().runAlert(request);
    // Closed without a button: an answer that matches none of them.
    const int count = buttons.isEmpty() ? 1 : static_cast<int>(buttons.size());
    if (response)
        response(pressed < 0 || pressed >= count ? NO_BUTTON : FIRST_BUTTON + pressed);
}

QString keyEquivalent(const QString& title)
{
    if (title.isEmpty())
        return {};
    const char32_t first = title.toUcs4().constFirst();
    return QString::fromUcs4(&first, 1).toLower();
}

} // namespace Alert
