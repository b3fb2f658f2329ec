// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <QMutex>

namespace Log {

namespace {
Q_LOGGING_CATEGORY(uiCategory, "com.quendrel.brackenfold.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(processCategory, "com.quendrel.brackenfold.process", QtInfoMsg)
Q_LOGGING_CATEGORY(generalCategory, "com.quendrel.brackenfold.general", QtInfoMsg)
Q_LOGGING_CATEGORY(transformersCategory, "com.quendrel.brackenfold.transformers", QtInfoMsg)
Q_LOGGING_CATEGORY(backgroundCategory, "com.quendrel.brackenfold.background", QtInfoMsg)
Q_LOGGING_CATEGORY(filesCategory, "com.quendrel.brackenfold.files", QtInfoMsg)

QMutex sinkMutex;
Sink currentSink;
std::atomic<bool> hasSink { false };
} // namespace

const QLoggingCategory& category(Category category)
{
    switch (category) {
    case Category::ui: return uiCategory();
    case Category::process: return processCategory();
    case Category::general: return generalCategory();
    case Category::transformers: return transformersCategory();
    case Category::background: return backgroundCategory();
    case Category::files: return filesCategory();
    }
    return generalCategory();
}

QString categoryName(Category c)
{
    switch (c) {
    case Category::ui: return QStringLiteral("ui");
    case Category::process: return QStringLiteral("process");
    case Category::general: return QStringLiteral("general");
    case Category::transformers: return QStringLiteral("transformers");
    case Category::background: return QStringLiteral("background");
    case Category::files: return QStringLiteral("files");
    }
    return {};
}

bool isEnabled(Category c, Level level)
{
    if (hasSink.load(std::memory_order_acquire))
        return true;
    const QLoggingCategory& cat = category(c);
    switch (level) {
    case Level::debug: return cat.isDebugEnabled();
    case Level::info: return cat.isInfoEnabled();
    case Level::error: return cat.isWarningEnabled();
    case Level::fault: return cat.isCriticalEnabled();
    }
    return false;
}

void write(Category c, Level level, const QString& line)
{
    if (hasSink.load(std::memory_order_acquire)) {
        QMutexLocker lock(&sinkMutex);
        if (currentSink)
            currentSink(c, level, line);
    }
    const QLoggingCategory& cat = category(c);
    switch (level) {
    case Level::debug: qCDebug(cat).noquote() << line; break;
    case Level::info: qCInfo(cat).noquote() << line; break;
    case Level::error: qCWarning(cat).noquote() << line; break;
    case Level::fault: qCCritical(cat).noquote() << line; break;
    }
}

void setSink(Sink sink)
{
    QMutexLocker lock(&sinkMutex);
    currentSink = std::move(sink);
    hasSink.store(static_cast<bool>(currentSink), std::memory_order_release);
}

QByteArray normalizeFormat(const char* format)
{
    QByteArray text(format);
    text.replace("%{public}", "%");
    text.replace("%{private}", "%");
    // A truth value arrives as an integer (1 or 0), as every integer does: as a long.
    text.replace("%{bool}d", "%ld");
    // An object argument arrives as text.
    text.replace("%@", "%s");
    return text;
}

} // namespace Log
