#include "platform/DefaultsStore.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
