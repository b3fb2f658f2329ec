// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/DependencyInjectionRegistry.h"

#include <gtest/gtest.h>

namespace {
struct RegistryMissing {
};
class BaseStore {
public:
    virtual ~BaseStore() = default;
    int value = 0;
};
class DerivedStore : public BaseStore {
};
class Reregistered {
public:
    virtual ~Reregistered() = default;
    int generation = 0;
};
}

TEST(DependencyInjectionRegistry, MissLogsTheTypeAndTheCallersLocation)
{
    LogCapture capture;
    auto missing = DependencyInjectionRegistry::get<RegistryMissing>("Brackenfold/MainViewController",
        "viewDidLoad()", 42);
    EXPECT_EQ(missing, nullptr);
    EXPECT_TRUE(capture.contains("Dependency injection registry does not contain an instance for RegistryMissing, "
                                 "requested in MainViewController.viewDidLoad() at 42"));
}

TEST(DependencyInjectionRegistry, InjectReportsItsOwnLocationOnAMiss)
{
    LogCapture capture;
    EXPECT_EQ(Inject<RegistryMissing>().get(), nullptr);
    EXPECT_TRUE(capture.contains("Dependency injection registry does not contain an instance for RegistryMissing, "
                                 "requested in Inject.wrappedValue at 43"));
}

TEST(DependencyInjectionRegistry, InstanceIsFoundOnlyUnderItsDynamicType)
{
    std::shared_ptr<BaseStore> instance = std::make_shared<DerivedStore>();
    instance->value = 7;
    LogCapture capture;
    DependencyInjectionRegistry::shared().registerInstance(instance);
    EXPECT_TRUE(capture.contains("Registered injectable for: DerivedStore"));
    auto derived = Inject<DerivedStore>().get();
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->value, 7);
    EXPECT_EQ(Inject<BaseStore>().get(), nullptr);
}

namespace {
struct ByTypeName {
    int value = 0;
};
}

// The lookup by type answers the object stored under the type's name, without a
// cast and without a log line, now or as a future.
TEST(DependencyInjectionRegistry, TheLookupByTypeAnswersWhatIsStoredUnderItsName)
{
    DependencyInjectionRegistry& registry = DependencyInjectionRegistry::shared();
    auto stored = std::make_shared<ByTypeName>();
    registry.registerInstance(stored);
    LogCapture capture;
    EXPECT_EQ(registry.get(std::type_identity<ByTypeName> {}), stored);
    EXPECT_EQ(registry.getAsync(std::type_identity<ByTypeName> {}).get(), stored);
    EXPECT_EQ(registry.get(std::type_identity<RegistryMissing> {}), nullptr);
    EXPECT_EQ(registry.getAsync(std::type_identity<RegistryMissing> {}).get(), nullptr);
    for (const QString& line : capture.lines())
        EXPECT_FALSE(line.startsWith("Dependency injection registry does not contain")) << line.toStdString();
}

TEST(DependencyInjectionRegistry, ReregistrationIsSeenAtTheNextReadOfEveryInject)
{
    Inject<Reregistered> first;
    Inject<Reregistered> second;
    auto a = std::make_shared<Reregistered>();
    DependencyInjectionRegistry::shared().registerInstance(a);
    EXPECT_EQ(first.get(), second.get());
    auto b = std::make_shared<Reregistered>();
    b->generation = 2;
    DependencyInjectionRegistry::shared().registerInstance(b);
    EXPECT_EQ(first.get(), b);
    EXPECT_EQ(second.get()->generation, 2);
}

TEST(Logger, CalledByUsesTheFileStemAndTheFunction)
{
    EXPECT_EQ(Logger::calledBy("Brackenfold/Inject", "wrappedValue"), "Inject.wrappedValue");
    EXPECT_EQ(Logger::calledBy("Brackenfold/FileDataSource", ""), "FileDataSource");
    EXPECT_EQ(Logger::calledBy("src/core/Preference.cpp", "set"), "Preference.set");
}
