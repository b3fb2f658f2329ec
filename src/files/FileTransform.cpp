// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileTransform.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "core/String+utilities.h"

namespace FileTransformRules {

QString path(const QString& value)
{
    // Already in shape: one leading "/" (not the start of a longer character),
    // no "//", no trailing "/". Most paths are, and this is asked for every row.
    if (value.startsWith(QLatin1Char('/')) && !value.contains(QLatin1String("//"))
        && (value.size() == 1 || (value.at(1).unicode() < 0x300 && !value.endsWith(QLatin1Char('/')))))
        return value;
    QString result = String::stringByDeduplicating(QLatin1Char('/') + value, QStringLiteral("/"));
    if (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString name(const QString& value)
{
    // Names read from the disk hold no "/": nothing to do, nothing to copy.
    if (!value.contains(QLatin1Char('/')))
        return value;
    QString result = String::stringByDeduplicating(value, QStringLiteral("/"));
    if (result.startsWith(QLatin1Char('/')))
        result.remove(0, 1);
    return result;
}

QString ext(const QString& value)
{
    QString result = String::stringByDeduplicating(value, QStringLiteral("."));
    if (result.startsWith(QLatin1Char('.')))
        result.remove(0, 1);
    if (result.endsWith(QLatin1Char('.')))
        result.chop(1);
    return result;
}

} // namespace FileTransformRules

namespace {
bool startsWithDot(QStringView text)
{
    return !text.isEmpty() && text.front() == QLatin1Char('.');
}

// Whether the last component of `path` starts with a dot, read in place: asked
// for every file each time its transform starts afresh.
bool lastComponentStartsWithDot(const QString& path)
{
    QStringView view(path);
    while (view.size() > 1 && view.back() == QLatin1Char('/'))
        view.chop(1);
    return startsWithDot(view.sliced(view.lastIndexOf(QLatin1Char('/')) + 1));
}

// `path` with its last component replaced by `component`.
QString replacingLastComponent(const QString& path, const QString& component)
{
    return String::stringByAppendingPathComponent(String::stringByDeletingLastPathComponent(path), component);
}
} // namespace

FileTransform::FileTransform(QUuid id, bool isDirectory, bool isHidden, const QString& path,
    const QString& name, const QString& ext, QString uniqueSuffix, bool isDirty, bool isSelected,
    std::optional<FileIndex> fileIndex)
    : uniqueSuffix(std::move(uniqueSuffix))
    , isDirty(isDirty)
    , isSelected(isSelected)
    , fileIndex(std::move(fileIndex))
    , m_id(id)
    , m_isDirectory(isDirectory)
    , m_isHidden(isHidden)
{
    transformedPath = path;
    transformedName = name;
    transformedExt = NormalizedText<FileTransformRules::ext>::unnormalized(ext);
    if (isDirectory) {
        QString trimmed = path;
        if (trimmed.endsWith(QLatin1Char('/')))
            trimmed.chop(1);
        m_initialLastPathComponent = String::lastPathComponent(trimmed);
    } else {
        m_initialLastPathComponent = name;
    }
}

FileTransform FileTransform::initial(QUuid id, const ExtendedFileInfo& fileInfo, std::optional<FileIndex> fileIndex)
{
    const bool hidden = lastComponentStartsWithDot(fileInfo.fullPath);
    return FileTransform(id, fileInfo.isDirectory, hidden, fileInfo.path, fileInfo.name, fileInfo.ext,
        QString(), true, true, std::move(fileIndex));
}

QString FileTransform::transformedExtSuffix() const
{
    const QString& ext = transformedExt.value();
    if (ext.isEmpty())
        return {};
    return startsWithDot(ext) ? ext : QLatin1Char('.') + ext;
}

QStringView FileTransform::extSeparator() const
{
    const QString& ext = transformedExt.value();
    return ext.isEmpty() || startsWithDot(ext) ? QStringView() : QStringView(u".");
}

QString FileTransform::transformedFullPath() const
{
    if (m_isDirectory)
        return transformedPath.value() + uniqueSuffix;
    // Not made in one allocation: that raised a run's peak memory (measured).
    return String::stringByAppendingPathComponent(transformedPath.value(), targetFileName());
}

bool FileTransform::isFullPath(QStringView path) const
{
    const QString& folder = transformedPath.value();
    if (m_isDirectory) {
        return path.size() == folder.size() + uniqueSuffix.size() && path.startsWith(folder)
            && path.sliced(folder.size()) == uniqueSuffix;
    }
    const QString& name = transformedName.value();
    const QString& ext = transformedExt.value();
    const QStringView separator = extSeparator();
    // A slash in the name, an empty one or a folder kept as read changes how
    // the parts join: made whole then.
    const auto hasSlash = [](const QString& text) { return text.contains(QLatin1Char('/')); };
    const bool folderAsKept = !folder.isEmpty() && (folder.size() == 1 || !folder.endsWith(QLatin1Char('/')))
        && !folder.contains(QLatin1String("//"));
    if (!folderAsKept || name.isEmpty() || hasSlash(name) || hasSlash(uniqueSuffix) || hasSlash(ext))
        return transformedFullPath() == path;
    // The folder is kept with one leading and no trailing slash, "/" alone excepted.
    const qsizetype folderPart = folder == QLatin1String("/") ? 0 : folder.size();
    QStringView rest = path;
    if (!rest.startsWith(QStringView(folder).first(folderPart)))
        return false;
    rest = rest.sliced(folderPart);
    for (const QStringView part : { QStringView(u"/"), QStringView(name), QStringView(uniqueSuffix), separator, QStringView(ext) }) {
        if (!rest.startsWith(part))
            return false;
        rest = rest.sliced(part.size());
    }
    return rest.isEmpty();
}

QString FileTransform::targetFileName() const
{
    if (m_isDirectory)
        return String::lastPathComponent(transformedPath.value()) + uniqueSuffix;
    QString fileName;
    fileName.reserve(transformedName.value().size() + uniqueSuffix.size() + 1 + transformedExt.value().size());
    fileName += transformedName.value();
    fileName += uniqueSuffix;
    fileName += extSeparator();
    fileName += transformedExt.value();
    return fileName;
}

void FileTransform::setTransformedFullPath(const QString& value)
{
    if (m_isDirectory) {
        transformedPath = value;
        transformedName = QString();
        transformedExt = QString();
        return;
    }
    const QString last = String::lastPathComponent(value);
    transformedPath = String::stringByDeletingLastPathComponent(value);
    transformedName = String::stringByDeletingPathExtension(last);
    transformedExt = String::pathExtension(value);
}

QString FileTransform::getTransformedText(TransformScope scope) const
{
    switch (scope) {
    case TransformScope::filename:
        if (m_isHidden && startsWithDot(transformedName.value()))
            return transformedName.value().mid(1);
        return transformedName.value();
    case TransformScope::path: {
        const QString last = String::lastPathComponent(transformedPath.value());
        if (m_isDirectory && m_isHidden && startsWithDot(last))
            return replacingLastComponent(transformedPath.value(), last.mid(1));
        return transformedPath.value();
    }
    case TransformScope::ext:
        return transformedExt.value();
    case TransformScope::fullPath:
        return transformedFullPath();
    }
    return {};
}

void FileTransform::setTransformedText(const QString& text, TransformScope scope)
{
    // The preferences are read only for the files they concern: most are neither.
    const bool hiddenAllowed = !m_isHidden || Preference::boolFor(PreferenceKey::renameHiddenFiles);
    const auto renameEmptyFolders = [] { return Preference::boolFor(PreferenceKey::renameEmptyFolders); };
    switch (scope) {
    case TransformScope::filename:
        if (hiddenAllowed)
            writeName(text);
        return;
    case TransformScope::ext:
        if (hiddenAllowed)
            transformedExt = m_isDirectory ? QString() : text;
        return;
    case TransformScope::path:
    case TransformScope::fullPath:
        break;
    }
    QString last = String::lastPathComponent(text);
    if (m_isHidden && !startsWithDot(last))
        last = QLatin1Char('.') + last;
    const bool same = last == m_initialLastPathComponent;
    if (scope == TransformScope::path) {
        if (same || !m_isDirectory || (renameEmptyFolders() && hiddenAllowed))
            writePath(text);
    } else if (same || ((!m_isDirectory || renameEmptyFolders()) && hiddenAllowed)) {
        writeFullPath(text);
    }
}

void FileTransform::writeName(const QString& text)
{
    if (m_isDirectory)
        transformedName = QString();
    else if (m_isHidden && !startsWithDot(text))
        transformedName = QLatin1Char('.') + text;
    else
        transformedName = text;
}

void FileTransform::writePath(const QString& text)
{
    const QString last = String::lastPathComponent(text);
    if (m_isDirectory && m_isHidden && !startsWithDot(last))
        transformedPath = String::stringByDeletingLastPathComponent(text) + QStringLiteral("/.") + last;
    else
        transformedPath = text;
}

void FileTransform::writeFullPath(const QString& text)
{
    QString value = text;
    if (m_isHidden) {
        const QString last = String::lastPathComponent(text);
        if (!m_isDirectory && text.endsWith(QLatin1Char('/')))
            value = text + QLatin1Char('.');
        else if (!startsWithDot(last))
            value = String::stringByDeletingLastPathComponent(text) + QStringLiteral("/.") + last;
    }
    setTransformedFullPath(value);
}
