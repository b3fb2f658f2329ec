// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

TEST(DefaultsStore, ValuesKeepTheirTypesAcrossARestart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config/brackenfold/defaults.json");
    {
        DefaultsStore store(path);
        store.setValue("flag", true);
        store.setValue("text", QStringLiteral("true"));
        store.setValue("list", QJsonArray { "a", "b" });
        EXPECT_TRUE(store.lastError().isEmpty());
    }
    DefaultsStore reopened(path);
    EXPECT_TRUE(reopened.value("flag").isBool());
    EXPECT_TRUE(reopened.value("text").isString());
    EXPECT_EQ(reopened.value("list").toArray(), (QJsonArray { "a", "b" }));
}

TEST(DefaultsStore, RegisteredDefaultsAnswerOnlyWhileNothingIsStoredAndAreNeverWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    DefaultsStore store(path);
    store.registerDefaults({ { "k", true } });
    EXPECT_EQ(store.value("k"), QJsonValue(true));
    EXPECT_FALSE(store.isStored("k"));
    store.setValue("k", false);
    EXPECT_EQ(store.value("k"), QJsonValue(false));
    store.remove("k");
    EXPECT_EQ(store.value("k"), QJsonValue(true));
    DefaultsStore reopened(path);
    EXPECT_TRUE(reopened.value("k").isUndefined());
}

TEST(DefaultsStore, ADamagedFileIsSetAsideNotOverwritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{ not json");
    }
    DefaultsStore store(path);
    EXPECT_TRUE(store.value("anything").isUndefined());
    EXPECT_TRUE(QFile::exists(path + ".damaged"));
    store.setValue("k", 1);
    DefaultsStore reopened(path);
    EXPECT_EQ(reopened.value("k").toInt(), 1);
}

// A file damaged again later is kept beside the first one: no damaged copy is
// ever written over, by the setting aside or by the next save.
TEST(DefaultsStore, EveryDamagedFileIsKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    const QByteArray damages[] = { "{ first damage", "[ \"second\"", "third" };
    for (const QByteArray& damage : damages) {
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damage);
        }
        DefaultsStore store(path);
        EXPECT_TRUE(store.value("k").isUndefined());
        store.setValue("k", 1);
        EXPECT_TRUE(store.lastError().isEmpty());
    }
    const QString kept[] = { path + ".damaged", path + ".damaged-2", path + ".damaged-3" };
    for (qsizetype i = 0; i < 3; ++i) {
        QFile file(kept[i]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << kept[i].toStdString();
        EXPECT_EQ(file.readAll(), damages[i]);
    }
    EXPECT_EQ(DefaultsStore(path).value("k").toInt(), 1);
}

// A pipe, a device or a file far too large at the settings' place is not read
// (reading would hold the start for good), set aside or written through: the
// store starts empty and its first write puts a file of its own there.
TEST(DefaultsStore, OnlyARegularFileOfSettingsSizeIsRead)
{
    struct Case {
        const char* name;
        std::function<bool(const QString& path)> make;
    };
    const Case cases[] = {
        { "pipe", [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; } },
        { "link to a device", [](const QString& path) { return QFile::link("/dev/zero", path); } },
        { "too large", [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.resize(DefaultsStore::MAX_FILE_SIZE + 1);
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.json");
        ASSERT_TRUE(c.make(path));
        DefaultsStore store(path);
        EXPECT_TRUE(store.value("k").isUndefined());
        EXPECT_FALSE(QFile::exists(path + ".damaged"));
        store.setValue("k", 1);
        EXPECT_TRUE(store.lastError().isEmpty()) << store.lastError().toStdString();
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        DefaultsStore reopened(path);
        EXPECT_EQ(reopened.value("k").toInt(), 1);
    }
}

// The settings hold the places of the user's photos: whatever the umask, and
// whatever mode an older file had, what is written is the user's alone.
TEST(DefaultsStore, TheFileIsWrittenForTheUserAloneAsUser)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("config/brackenfold");
    const QString path = folder + "/defaults.json";
    const mode_t umaskBefore = ::umask(022);
    {
        DefaultsStore store(path);
        store.setValue("k", 1);
        EXPECT_TRUE(store.lastError().isEmpty());
    }
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::ReadOther));
    DefaultsStore reopened(path);
    reopened.setValue("k", 2);
    ::umask(umaskBefore);
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(DefaultsStore(path).value("k").toInt(), 2);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "defaults.json" });
}

// A link in place of the settings file is replaced by the file; the file it
// pointed to stays as it was.
TEST(DefaultsStore, SavingReplacesALinkNotItsTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("elsewhere.json");
    const QString path = dir.filePath("defaults.json");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"k": "kept"})");
    }
    ASSERT_TRUE(QFile::link(target, path));
    DefaultsStore store(path);
    EXPECT_EQ(store.value("k").toString(), "kept"); // read through the link
    store.setValue("k", QStringLiteral("new"));
    EXPECT_TRUE(store.lastError().isEmpty());

    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(DefaultsStore(path).value("k").toString(), "new");
    QFile untouched(target);
    ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
    EXPECT_EQ(untouched.readAll(), QByteArray(R"({"k": "kept"})"));
}

TEST(DefaultsStore, AFailedWriteIsReportedAndLeavesTheFileAsItWasAsUser)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    DefaultsStore store(path);
    store.setValue("k", 1);
    // A folder the user may not write to; root may, so the check is of the result.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    store.setValue("k", 2);
    const bool refused = ::access(QFile::encodeName(dir.path()).constData(), W_OK) != 0;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(!store.lastError().isEmpty(), refused);
    EXPECT_EQ(DefaultsStore(path).value("k").toInt(), refused ? 1 : 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "defaults.json" });
}
