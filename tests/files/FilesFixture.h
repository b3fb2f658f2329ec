// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestEnvironment.h"
#include "core/Preference.h"
#include "files/DirectoryRoots.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

#include "files/RejectedDirectory.h"

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const RejectedDirectory& rejected, std::ostream* out)
{
    *out << "{ \"" << rejected.path.toStdString() << "\", " << RejectionReasons::rawValue(rejected.reason).toStdString() << " }";
}

// A temporary tree with a home folder and one mounted volume of its own, and a
// settings store of its own, so that no test depends on the machine.
class FilesFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<DefaultsStore>(dir.filePath(QStringLiteral("defaults.json")));
        Preference::setStore(store.get());
        home = makeFolder(QStringLiteral("home/me"));
        volume = makeFolder(QStringLiteral("media/Backup"));
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        Preference::setStore(nullptr);
    }

    DirectoryRoots roots() const
    {
        DirectoryRoots roots;
        roots.homeDirectory = home;
        roots.volumes = { volume };
        return roots;
    }

    // A relative path is taken inside the temporary tree.
    QString path(const QString& relative) const
    {
        return relative.startsWith(QLatin1Char('/')) ? relative : dir.path() + QLatin1Char('/') + relative;
    }

    QString makeFolder(const QString& relative) const
    {
        const QString folder = path(relative);
        EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
        return folder;
    }

    QString makeFile(const QString& relative) const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << file.toStdString();
        return file;
    }

    QString makeLink(const QString& relative, const QString& target) const
    {
        const QString link = path(relative);
        QDir().mkpath(QFileInfo(link).absolutePath());
        EXPECT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0)
            << link.toStdString();
        return link;
    }

    static bool exists(const QString& path) { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }

    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> store;
    QString home;
    QString volume;
};
