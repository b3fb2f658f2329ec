// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/File.h"

#include "core/CanonicalText.h"
#include "files/FileAttributeLoader.h"

File::File(std::optional<qint64> index, std::optional<qint64> fileGenerationId, FileSource source,
    FileTransform transformed, FileValidation validation, std::optional<FileAttributes> attributes)
    : index(index)
    , fileGenerationId(fileGenerationId)
    , source(std::move(source))
    , transformed(std::move(transformed))
    , validation(std::move(validation))
    , attributes(std::move(attributes))
{
}

namespace {
// A new id for a listed item: one random id per thread, counted on. As unique as
// a random id, without asking the system for randomness for every file.
QUuid newFileId()
{
    thread_local const QUuid base = QUuid::createUuid();
    thread_local quint64 counter = 0;
    ++counter;
    QUuid id = base;
    id.data1 ^= static_cast<uint>(counter);
    id.data2 ^= static_cast<ushort>(counter >> 32);
    return id;
}
} // namespace

File::File(const QUrl& url, bool resolveAlias)
    : source(newFileId(), url, resolveAlias)
{
    transformed = FileTransform::initial(source.id, source.fileInfo, std::nullopt);
    validation.id = source.id;
}

File::File(ExtendedFileInfo fileInfo)
    : source(newFileId(), std::move(fileInfo))
{
    transformed = FileTransform::initial(source.id, source.fileInfo, std::nullopt);
    validation.id = source.id;
}

bool File::isToBeChanged() const
{
    return isToBeChanged(source, transformed, validation);
}

bool File::isToBeChanged(const FileSource& source, const FileTransform& transformed, const FileValidation& validation)
{
    if (!validation.errors.isEmpty())
        return false;
    // The source folder goes through the same rule as the new one, so that a file
    // in the root folder ("" against "/") is not taken for a move.
    if (!CanonicalText::equal(FileTransformRules::path(source.fileInfo.path), transformed.transformedPath.value()))
        return true;
    // A folder has neither name nor extension of its own in the new path: its
    // full path is its path, so "Photos.album" keeps its name when the rules
    // empty the extension.
    if (source.fileInfo.isDirectory)
        return false;
    // Names are equal canonically: a decomposed accent against its composed form is no change.
    return !CanonicalText::equal(source.fileInfo.name, transformed.transformedName.value())
        || !CanonicalText::equal(source.fileInfo.ext, transformed.transformedExt.value());
}

QUrl File::targetUrl() const
{
    return QUrl::fromLocalFile(transformed.transformedFullPath());
}

void File::initProperties(const QUrl& url)
{
    source.fileInfo = ExtendedFileInfo::read(url);
    transformed = FileTransform::initial(source.id, source.fileInfo, transformed.fileIndex);
    validation = FileValidation { source.id, {}, {} };
}

void File::applyRename(const QString& fullPath)
{
    source.fileInfo.moveTo(fullPath);
    transformed = FileTransform::initial(source.id, source.fileInfo, transformed.fileIndex);
    validation = FileValidation { source.id, {}, {} };
}

void File::resetTransformations()
{
    transformed = FileTransform::initial(source.id, source.fileInfo, std::nullopt);
    validation.clearAll();
}

File File::withDirtyFlag(bool dirty) const
{
    File copy = *this;
    copy.transformed.isDirty = dirty;
    return copy;
}

void File::initializeAttributes()
{
    if (attributes)
        return;
    if (auto loaded = FileAttributeLoader::load(source.fileInfo.url()))
        attributes = FileAttributes { std::move(*loaded) };
}
