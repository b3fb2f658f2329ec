#include "uikit/Alert.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "uikit/AlertPresenter.h"

namespace Alert {

namespace {
ModalResponse showAlert(const QString& messageText, const QString& informativeText, AlertStyle style,
    const QStringList& buttons)
{
    AlertRequest request { messageText, informativeText, style, buttons, {} };
    for (const QString& title : buttons)
        request.keyEquivalents << keyEquivalent(title);
    const int count = buttons.isEmpty() ? 1 : static_cast<int>(buttons.size());
    int pressed = AlertPresenter::current().runAlert(request);
    // Closed by the window manager: taken as the last, least committal button.
    if (pressed < 0 || pressed >= count)
        pressed = count - 1;
    return FIRST_BUTTON + pressed;
}

void showLater(const QString& messageText, const QString& informativeText, AlertStyle style)
{
    MainThread::post([messageText, informativeText, style] {
        showAlert(messageText, informativeText, style, {});
    });
}
} // namespace

void warning(const QString& messageText, const QString& informativeText)
{
    showLater(messageText, informativeText, AlertStyle::warning);
}

void info(const QString& messageText, const QString& informativeText)
{
    showLater(messageText, informativeText, AlertStyle::informational);
}

void warning(const QString& messageText, const QString& informativeText, const QStringList& buttons,
    const std::function<void(ModalResponse)>& response)
{
    if (!MainThread::isCurrent()) {
        Log::fault(Log::Category::ui, "Alert.warning with buttons called off the main thread: %{public}s", messageText);
        return;
    }
    const ModalResponse answer = showAlert(messageText, informativeText, AlertStyle::warning, buttons);
    if (response)
        response(answer);
}

QString keyEquivalent(const QString& title)
{
    if (title.isEmpty())
        return {};
    const char32_t first = title.toUcs4().constFirst();
    return QString::fromUcs4(&first, 1).toLower();
}

} // namespace Alert
