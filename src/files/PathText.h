#pragma once

#include <QString>
#include <QStringList>

// Path-string rules of the file list (the platform's path operations: a leading
// "/" is a component of its own, trailing slashes are ignored, an extension is
// the text after the last "." of a name that does not start with it).
namespace PathText {

QString lastPathComponent(const QString& path);
QString deletingLastPathComponent(const QString& path);
QString pathExtension(const QString& path);
QString deletingPathExtension(const QString& path);
QString appendingPathComponent(const QString& path, const QString& component);
// "/a/b" gives "/", "a", "b"; a trailing "/" adds nothing.
QStringList pathComponents(const QString& path);

// Each run of one of `characters` becomes one.
QString deduplicating(const QString& text, const QString& characters);
// The digits of the text read as one number; 0 without digits or on overflow.
quint64 numeric(const QString& text);

} // namespace PathText
