// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "core/Preference.h"
#include "platform/DefaultsStore.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class PreferenceTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        Preference::setStore(nullptr);
    }
    void open()
    {
        store = std::make_unique<DefaultsStore>(dir.filePath("defaults.json"));
        Preference::setStore(store.get());
    }
    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> store;
};

TEST_F(PreferenceTest, ReadsAreStrictByType)
{
    const PreferenceKey key("strict");
    struct Case {
        QJsonValue stored;
        bool asBool;
        QString asString;
        QStringList asList;
    };
    const Case cases[] = {
        { QJsonValue(true), true, "", {} },
        { QJsonValue("true"), false, "true", {} },
        { QJsonValue(1), false, "", {} },
        { QJsonValue(QJsonArray { "a", "b" }), false, "", { "a", "b" } },
        { QJsonValue(QJsonArray { "a", 2, "b" }), false, "", {} },
        { QJsonValue(), false, "", {} },
    };
    for (const auto& c : cases) {
        store->setValue(key.rawValue, c.stored);
        SCOPED_TRACE(c.stored.toVariant().toString().toStdString());
        EXPECT_EQ(Preference::boolFor(key), c.asBool);
        EXPECT_EQ(Preference::stringFor(key), c.asString);
        EXPECT_EQ(Preference::stringArrayFor(key), c.asList);
    }
}

TEST_F(PreferenceTest, RegisteredDefaultsAnswerOnlyWhileNothingIsStored)
{
    EXPECT_FALSE(Preference::boolFor(PreferenceKey::versionCheckOnStartup));
    Preference::initDefaults();
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::versionCheckOnStartup));
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::gpsAddressLookup));
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::autoResolveDuplicates));
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::renameEmptyFolders));
    EXPECT_FALSE(Preference::boolFor(PreferenceKey::renameAliases));
    EXPECT_FALSE(Preference::boolFor(PreferenceKey::openMostRecentRecipeOnStartup));
    EXPECT_TRUE(Preference::stringArrayFor(PreferenceKey::customDirectories).isEmpty());
    Preference::set(false, PreferenceKey::versionCheckOnStartup);
    EXPECT_FALSE(Preference::boolFor(PreferenceKey::versionCheckOnStartup));
}

TEST_F(PreferenceTest, WrittenValuesSurviveARestart)
{
    Preference::set(true, PreferenceKey::renameHiddenFiles);
    Preference::set(QStringList { "/srv/photos", "/data" }, PreferenceKey::customDirectories);
    Preference::set(QStringLiteral("x"), PreferenceKey("someText"));
    open();
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::renameHiddenFiles));
    EXPECT_EQ(Preference::stringArrayFor(PreferenceKey::customDirectories), (QStringList { "/srv/photos", "/data" }));
    EXPECT_EQ(Preference::stringFor(PreferenceKey("someText")), "x");
    EXPECT_EQ(store->value("com.quendrel.brackenfold.renameHiddenFiles"), QJsonValue(true));
}

TEST_F(PreferenceTest, SeveralWritesInOnePassGiveOneApplyChangesLater)
{
    NotificationRecorder recorder({ NotificationName::applyChanges });
    Preference::set(true, PreferenceKey::renameAliases);
    EXPECT_TRUE(Preference::boolFor(PreferenceKey::renameAliases));
    Preference::set(QStringList { "a" }, PreferenceKey::recentRecipes);
    Preference::set(false, PreferenceKey::renameAliases);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::applyChanges) > 0; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);
}

TEST(PreferenceKeyTest, KeysCarryThePrefixOnce)
{
    EXPECT_EQ(PreferenceKey::renameAliases.rawValue, "com.quendrel.brackenfold.renameAliases");
    EXPECT_EQ(PreferenceKey("renameAliases"), PreferenceKey::renameAliases);
    EXPECT_NE(PreferenceKey(PreferenceKey::renameAliases.rawValue), PreferenceKey::renameAliases);
}

TEST_F(PreferenceTest, GpsCacheRoundTripsAndAnnouncesNothing)
{
    NotificationRecorder recorder({ NotificationName::applyChanges });
    GPSAddress address;
    address.addressCity = "Zürich";
    address.formattedAddress = "Bahnhofstrasse 1,8001 Zürich";
    Preference::setGpsCache({ { "47.37,8.54", address } });
    const GPSAddressMap read = Preference::getGpsCache();
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.value("47.37,8.54"), address);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);
}

TEST_F(PreferenceTest, GpsCacheTextThatDoesNotDecodeIsLoggedAndReadAsEmpty)
{
    struct Case {
        const char* stored;
        int entries;
        bool error;
    };
    const QString full = R"({"addressStreet":"","addressZip":"","addressCity":"C","addressCountry":"","addressState":"",)"
                         R"("addressName":"","addressSubAdministrativeArea":"","addressThoroughfare":"",)"
                         R"("addressSubThoroughfare":"","formattedAddress":""})";
    const QByteArray wrapped = ("{\"cache\":{\"1,2\":" + full + "}}").toUtf8();
    const QByteArray withSibling = ("{\"version\":2,\"cache\":{\"1,2\":" + full + ",\"3,4\":" + full + "}}").toUtf8();
    const QByteArray plain = ("{\"1,2\":" + full + "}").toUtf8();
    const QByteArray partial = "{\"1,2\":{\"addressCity\":\"C\"}}";
    const Case cases[] = {
        { "{}", 0, false },
        { "{\"cache\":{}}", 0, false },
        { "not json", 0, true },
        { partial.constData(), 0, true },
        { wrapped.constData(), 1, false },
        { withSibling.constData(), 2, false },
        { plain.constData(), 1, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        store->setValue(PreferenceKey::gpsCache.rawValue, QString::fromUtf8(c.stored));
        LogCapture capture;
        EXPECT_EQ(Preference::getGpsCache().size(), c.entries);
        bool sawError = false;
        for (const QString& line : capture.lines())
            sawError = sawError || line.startsWith("Unabled to decode GPSCache from JSON: ");
        EXPECT_EQ(sawError, c.error);
        if (c.error)
            EXPECT_TRUE(capture.contains("No GPS Cache found in Preferences."));
        else
            EXPECT_TRUE(capture.contains(QString("Reading GPS Cache with %1 entries from Preferences.").arg(c.entries)));
    }
}
