// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Log.h"
#include "core/Logger.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <future>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <typeinfo>

// The shared objects of the application, one per type, keyed by the unqualified
// name of the instance's dynamic type. Filled at start-up, then read.
class DependencyInjectionRegistry {
public:
    static DependencyInjectionRegistry& shared();

    // Replaces an earlier instance of the same type.
    template <typename T>
    void registerInstance(std::shared_ptr<T> instance)
    {
        if (!instance)
            return;
        const std::type_info& dynamicType = typeid(*instance);
        std::shared_ptr<void> object;
        if constexpr (std::is_polymorphic_v<T>)
            object = std::shared_ptr<void>(instance, dynamic_cast<void*>(instance.get()));
        else
            object = instance;
        store(typeName(dynamicType), std::type_index(dynamicType), std::move(object));
    }

    // The instance registered for `T`, or null after logging the miss with the
    // caller's location.
    template <typename T>
    static std::shared_ptr<T> get(const QString& file, const QString& function, unsigned long line)
    {
        const QString key = typeName(typeid(T));
        auto found = shared().lookup(key);
        if (found.object && found.type == std::type_index(typeid(T)))
            return std::static_pointer_cast<T>(found.object);
        logMiss(key, file, function, line);
        return nullptr;
    }

    // The object stored under the name of `classType`, of whatever type it is:
    // no cast and no log. Null when nothing is stored.
    template <typename T>
    std::shared_ptr<void> get(std::type_identity<T> /*classType*/) const
    {
        return lookup(typeName(typeid(T))).object;
    }
    // The same for asynchronous callers: the answer is ready at once, as the
    // registry may be read from any thread.
    template <typename T>
    std::future<std::shared_ptr<void>> getAsync(std::type_identity<T> classType) const
    {
        std::promise<std::shared_ptr<void>> answer;
        answer.set_value(get(classType));
        return answer.get_future();
    }

    // Whether an object is stored under a type name.
    bool contains(const QString& key) const;

    static QString typeName(const std::type_info& type);

private:
    static void logMiss(const QString& key, const QString& file, const QString& function, unsigned long line)
    {
        Log::error(Log::Category::general,
            "Dependency injection registry does not contain an instance for %{public}s, requested in %{public}s at %lu",
            key, Logger::calledBy(file, function), line);
    }

    struct Entry {
        std::type_index type = std::type_index(typeid(void));
        std::shared_ptr<void> object;
    };
    void store(const QString& key, std::type_index type, std::shared_ptr<void> object);
    Entry lookup(const QString& key) const;

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_registry;
};

// A dependency looked up again at every read; null when it is not registered.
template <typename T>
class Inject {
public:
    std::shared_ptr<T> get() const
    {
        return DependencyInjectionRegistry::get<T>(QStringLiteral("Brackenfold/Inject"),
            QStringLiteral("wrappedValue"), 43);
    }
    std::shared_ptr<T> operator()() const { return get(); }
};
