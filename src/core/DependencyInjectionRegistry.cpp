// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DependencyInjectionRegistry.h"

#include <cxxabi.h>

#include <cstdlib>

DependencyInjectionRegistry& DependencyInjectionRegistry::shared()
{
    static DependencyInjectionRegistry registry;
    return registry;
}

QString DependencyInjectionRegistry::typeName(const std::type_info& type)
{
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    QString name = QString::fromUtf8(status == 0 && demangled ? demangled : type.name());
    std::free(demangled);
    // Unqualified: drop namespaces, but not inside template arguments.
    int depth = 0;
    int start = 0;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('<'))
            ++depth;
        else if (c == QLatin1Char('>'))
            --depth;
        else if (depth == 0 && c == QLatin1Char(':') && i + 1 < name.size() && name.at(i + 1) == QLatin1Char(':'))
            start = i + 2;
    }
    return name.mid(start);
}

void DependencyInjectionRegistry::store(const QString& key, std::type_index type, std::shared_ptr<void> object)
{
    Log::debug(Log::Category::general, "Registered injectable for: %s", key);
    QMutexLocker lock(&m_mutex);
    m_registry.insert(key, Entry { type, std::move(object) });
}

DependencyInjectionRegistry::Entry DependencyInjectionRegistry::lookup(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    return m_registry.value(key);
}

bool DependencyInjectionRegistry::contains(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    auto it = m_registry.constFind(key);
    return it != m_registry.constEnd() && it->object;
}
