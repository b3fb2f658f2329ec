// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>

namespace TestEnvironment {

namespace {
QTemporaryDir& homeDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brackenfold-test-home-XXXXXX"));
    return dir;
}
}

void isolateHome()
{
    const QString home = homeDir().path();
    QDir(home).mkpath(QStringLiteral(".config"));
    QDir(home).mkpath(QStringLiteral(".local/share"));
    QDir(home).mkpath(QStringLiteral(".cache"));
    setenv("HOME", home.toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8().constData(), 1);
    setenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toUtf8().constData(), 1);
    setenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toUtf8().constData(), 1);
}

QString homePath()
{
    return homeDir().path();
}

bool processEventsUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        QThread::msleep(1);
    }
    return true;
}

void drainEvents()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace TestEnvironment

LogCapture::LogCapture()
{
    Log::setSink([this](Log::Category, Log::Level, const QString& line) {
        std::lock_guard lock(m_mutex);
        m_lines << line;
    });
}

LogCapture::~LogCapture()
{
    Log::setSink({});
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

bool LogCapture::contains(const QString& line) const
{
    return indexOf(line) >= 0;
}

int LogCapture::indexOf(const QString& line) const
{
    std::lock_guard lock(m_mutex);
    return m_lines.indexOf(line);
}

void LogCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}
