// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Path texts split and joined by the usual rules: repeated "/" count as one, a
// trailing "/" is dropped (except the root), an extension is the text after
// the last "." of the last component unless that "." is its first or last
// character.
namespace String {

QString lastPathComponent(const QString& path);
QString pathExtension(const QString& path);
QString stringByDeletingPathExtension(const QString& path);
QString stringByDeletingLastPathComponent(const QString& path);
QStringList pathComponents(const QString& path);
QString stringByAppendingPathComponent(const QString& path, const QString& component);
// None for an empty extension, one holding "/", or a path without a last component.
std::optional<QString> stringByAppendingPathExtension(const QString& path, const QString& extension);
// "~" and "~/..." start at the home folder; "~name" is left alone.
QString tildePathResolved(const QString& path);

} // namespace String
