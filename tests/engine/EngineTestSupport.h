// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestEnvironment.h"
#include "core/Preference.h"
#include "files/File.h"
#include "platform/Clock.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

// Every reading of the time is `step` later than the one before.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(Duration step)
        : m_step(step)
    {
    }
    TimePoint now() const override
    {
        std::lock_guard lock(m_mutex);
        m_now += m_step;
        return m_now;
    }
    bool sleepUntil(TimePoint, std::stop_token) override { return true; }

private:
    mutable std::mutex m_mutex;
    mutable TimePoint m_now {};
    Duration m_step;
};

// Files in a temporary folder inside the test home (an allowed root, so that
// emptied folders may be removed) and preferences in a store of their own.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        store = std::make_unique<DefaultsStore>(settings.filePath("defaults.json"));
        Preference::setStore(store.get());
        Preference::initDefaults();
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        Preference::setStore(nullptr);
    }

    void setPreference(const PreferenceKey& key, bool value) { store->setValue(key.rawValue, value); }

    QString path(const QString& relative) const { return root.path() + QLatin1Char('/') + relative; }

    // Creates a file (with its folders) holding `content`.
    QString touch(const QString& relative, const QByteArray& content = "x") const
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return full;
    }
    QString mkdir(const QString& relative) const
    {
        QDir().mkpath(path(relative));
        return path(relative);
    }
    bool exists(const QString& relative) const
    {
        struct stat status {};
        return ::lstat(QFile::encodeName(path(relative)).constData(), &status) == 0;
    }
    QByteArray content(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList entries(const QString& relative = QString()) const
    {
        return QDir(path(relative)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // A listed file whose new full path is `target` (both relative to the root).
    File fileTo(const QString& source, const QString& target) const
    {
        File file(QUrl::fromLocalFile(path(source)), false);
        if (file.isDirectory())
            file.transformed.transformedPath = path(target);
        else
            file.transformed.setTransformedFullPath(path(target));
        return file;
    }

    QTemporaryDir root { TestEnvironment::homePath() + QStringLiteral("/engine-XXXXXX") };
    QTemporaryDir settings;
    std::unique_ptr<DefaultsStore> store;
};
