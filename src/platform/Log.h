// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <functional>
#include <tuple>
#include <type_traits>

// The log of the application: six categories under the bundle identifier.
// Formats are printf texts; "%{public}ld" reads as "%ld", "%@" as "%s".
namespace Log {

enum class Category { ui, process, general, transformers, background, files };
enum class Level { debug, info, error, fault };

inline constexpr const char* SUBSYSTEM = "com.quendrel.brackenfold";

const QLoggingCategory& category(Category category);
QString categoryName(Category category);

// True when a line at this level would go anywhere (the category is enabled or a
// sink listens); callers skip building expensive lines otherwise.
bool isEnabled(Category category, Level level);

void write(Category category, Level level, const QString& line);

// Tests capture lines through a sink; it receives every line of every category.
using Sink = std::function<void(Category, Level, const QString&)>;
void setSink(Sink sink);

// Rewrites the platform format markers into plain printf conversions.
QByteArray normalizeFormat(const char* format);

namespace detail {
inline QByteArray hold(const QString& s) { return s.toUtf8(); }
inline QByteArray hold(const char* s) { return QByteArray(s); }
inline QByteArray hold(const QByteArray& s) { return s; }
inline QByteArray hold(const std::string& s) { return QByteArray::fromStdString(s); }
inline double hold(double v) { return v; }
template <typename T>
    requires std::is_integral_v<T> && std::is_signed_v<T>
long hold(T v) { return static_cast<long>(v); }
template <typename T>
    requires std::is_integral_v<T> && std::is_unsigned_v<T>
unsigned long hold(T v) { return static_cast<unsigned long>(v); }

inline const char* pass(const QByteArray& b) { return b.constData(); }
inline double pass(double v) { return v; }
inline long pass(long v) { return v; }
inline unsigned long pass(unsigned long v) { return v; }
} // namespace detail

// Integers are passed as long / unsigned long: write "%ld" / "%lu" in formats.
template <typename... Args>
QString format(const char* fmt, const Args&... args)
{
    const QByteArray normalized = normalizeFormat(fmt);
    auto held = std::make_tuple(detail::hold(args)...);
    return std::apply(
        [&](const auto&... h) { return QString::asprintf(normalized.constData(), detail::pass(h)...); },
        held);
}

template <typename... Args>
void log(Category category, Level level, const char* fmt, const Args&... args)
{
    if (!isEnabled(category, level))
        return;
    write(category, level, format(fmt, args...));
}

template <typename... Args> void debug(Category c, const char* fmt, const Args&... args) { log(c, Level::debug, fmt, args...); }
template <typename... Args> void info(Category c, const char* fmt, const Args&... args) { log(c, Level::info, fmt, args...); }
template <typename... Args> void error(Category c, const char* fmt, const Args&... args) { log(c, Level::error, fmt, args...); }
template <typename... Args> void fault(Category c, const char* fmt, const Args&... args) { log(c, Level::fault, fmt, args...); }

} // namespace Log
