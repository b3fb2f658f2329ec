// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/AppNotification.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationQueue.h"

#include <QUrl>

namespace NotificationName {
const QStringList& all()
{
#define BF_LIST_NAME(n) n,
    static const QStringList names { BF_NOTIFICATION_NAMES(BF_LIST_NAME) };
#undef BF_LIST_NAME
    return names;
}
} // namespace NotificationName

namespace AppNotification {

namespace {
QString describe(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QString>())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.metaType() == QMetaType::fromType<QUrl>())
        return value.toUrl().toString();
    if (value.canConvert<QString>())
        return value.toString();
    return QString::fromUtf8(value.typeName());
}
} // namespace

QString userInfoSuffix(const std::optional<QVariantMap>& userInfo)
{
    if (!userInfo || userInfo->isEmpty())
        return {};
    QStringList entries;
    for (auto it = userInfo->cbegin(); it != userInfo->cend(); ++it)
        entries << QStringLiteral("\"%1\": %2").arg(it.key(), describe(it.value()));
    return QStringLiteral(", userInfo: Optional([%1])").arg(entries.join(QStringLiteral(", ")));
}

void post(const QString& name, const QVariant& object, const std::optional<QVariantMap>& userInfo, const QString& function)
{
    if (Log::isEnabled(Log::Category::general, Log::Level::debug))
        Log::debug(Log::Category::general, "✉️ %s: post: %{public}s%s", function, name, userInfoSuffix(userInfo));
    Notification notification { name, object, userInfo };
    if (MainThread::isCurrent()) {
        NotificationQueue::defaultQueue().enqueueWhenIdle(std::move(notification));
        return;
    }
    // Posts belong on the main thread; a stray background post hops there.
    MainThread::post([notification = std::move(notification)]() mutable {
        NotificationQueue::defaultQueue().enqueueWhenIdle(std::move(notification));
    });
}

} // namespace AppNotification
