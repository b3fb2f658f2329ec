// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/AppSleep.h"

#include "core/AppNotification+Typed.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "tokens/TransformError.h"

#include <thread>

namespace {
// How often an abort is looked for within one counted second.
constexpr auto ABORT_POLL = std::chrono::milliseconds(50);

void postOnMainThread(const QString& name)
{
    MainThread::post([name] { NotificationCenter::defaultCenter().post(Notification { name, {}, std::nullopt }); });
}
} // namespace

AppSleep::AppSleep(std::function<bool()> isAborted, std::chrono::milliseconds second)
    : m_isAborted(std::move(isAborted))
    , m_second(second)
{
}

void AppSleep::sleepWithProgressIndication(int seconds)
{
    Log::debug(Log::Category::process, "Sleeping %ld seconds", seconds);
    postOnMainThread(NotificationName::showProgressView);
    for (int i = 0; i < seconds; ++i) {
        MainThread::post([i, seconds] {
            AppNotification::UpdateProgressView::post(i, seconds, QStringLiteral("Awaiting GPS service availability"), true);
        });
        const auto end = std::chrono::steady_clock::now() + m_second;
        do {
            if (m_isAborted()) {
                postOnMainThread(NotificationName::hideProgressView);
                throw TransformError::aborted();
            }
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(ABORT_POLL,
                std::max<std::chrono::steady_clock::duration>(end - std::chrono::steady_clock::now(), {})));
        } while (std::chrono::steady_clock::now() < end);
    }
    postOnMainThread(NotificationName::hideProgressView);
}
