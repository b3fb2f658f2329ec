// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QUrl>

#include <limits>
#include <optional>
#include <utility>

// The value that stands for "none" in a PackedOptional: one the type never
// holds for real.
template <typename T>
struct NoValue;

template <>
struct NoValue<QDateTime> {
    static QDateTime make() { return {}; }
    static bool is(const QDateTime& value) { return value.isNull(); }
};

template <>
struct NoValue<QUrl> {
    static QUrl make() { return {}; }
    static bool is(const QUrl& value) { return value.isEmpty(); }
};

template <>
struct NoValue<qint64> {
    static constexpr qint64 make() { return std::numeric_limits<qint64>::min(); }
    static constexpr bool is(qint64 value) { return value == make(); }
};

template <>
struct NoValue<quint64> {
    static constexpr quint64 make() { return std::numeric_limits<quint64>::max(); }
    static constexpr bool is(quint64 value) { return value == make(); }
};

// An optional value without a flag beside it: half the size of std::optional
// for the eight-byte fields that every listed item carries. Reads and writes
// as std::optional does; a value equal to the type's NoValue cannot be held.
template <typename T>
class PackedOptional {
public:
    PackedOptional() = default;
    PackedOptional(std::nullopt_t) { }
    PackedOptional(T value)
        : m_value(std::move(value))
    {
    }
    PackedOptional(const std::optional<T>& value)
        : m_value(value ? *value : NoValue<T>::make())
    {
    }

    PackedOptional& operator=(std::nullopt_t)
    {
        reset();
        return *this;
    }

    bool has_value() const { return !NoValue<T>::is(m_value); }
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return m_value; }
    const T* operator->() const { return &m_value; }
    const T& value() const
    {
        if (!has_value())
            throw std::bad_optional_access();
        return m_value;
    }
    template <typename U>
    T value_or(U&& fallback) const
    {
        return has_value() ? m_value : T(std::forward<U>(fallback));
    }
    void reset() { m_value = NoValue<T>::make(); }
    operator std::optional<T>() const { return has_value() ? std::optional<T>(m_value) : std::nullopt; }

    bool operator==(const PackedOptional& other) const
    {
        return has_value() == other.has_value() && (!has_value() || m_value == other.m_value);
    }
    bool operator==(std::nullopt_t) const { return !has_value(); }
    template <typename U>
        requires(!std::is_same_v<std::decay_t<U>, PackedOptional> && !std::is_same_v<std::decay_t<U>, std::nullopt_t>)
    bool operator==(const U& value) const
    {
        return has_value() && m_value == value;
    }

private:
    T m_value = NoValue<T>::make();
};
