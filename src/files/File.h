// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"
#include "files/FileSource.h"
#include "files/FileTransform.h"
#include "files/FileValidation.h"

#include <QFlags>
#include <QMetaType>

#include <optional>

// Which facets a write-back replaces.
enum class FileComponentMutation { source = 0x1, transformed = 0x2, validation = 0x4, attributes = 0x8 };
Q_DECLARE_FLAGS(FileComponentMutations, FileComponentMutation)
Q_DECLARE_OPERATORS_FOR_FLAGS(FileComponentMutations)

inline constexpr FileComponentMutations allFileComponents()
{
    return FileComponentMutations(FileComponentMutation::source) | FileComponentMutation::transformed
        | FileComponentMutation::validation | FileComponentMutation::attributes;
}

// One entry of the file list: three facets that share one id, and the file's
// attributes once loaded. Equal and hashed by its source URL alone (through the
// path the URL is made of, which says the same without making the URL).
struct File {
    PackedOptional<qint64> index;            // storage index in the store, not the row
    PackedOptional<qint64> fileGenerationId; // the store's generation when this copy was read
    FileSource source;
    FileTransform transformed;
    FileValidation validation;
    std::optional<FileAttributes> attributes;

    File() = default;
    File(std::optional<qint64> index, std::optional<qint64> fileGenerationId, FileSource source,
        FileTransform transformed, FileValidation validation, std::optional<FileAttributes> attributes);
    // A new file; the caller decides whether an alias stands for its target.
    File(const QUrl& url, bool resolveAlias);
    // A new file from its information, read already (an alias not followed).
    explicit File(ExtendedFileInfo fileInfo);

    const FileSource& fileSource() const { return source; }
    QUrl sourceUrl() const { return source.fileInfo.url(); }
    bool isDirectory() const { return source.fileInfo.isDirectory; }
    bool attributesInitialized() const { return attributes.has_value(); }
    FileAttributes fileAttributes() const { return attributes.value_or(FileAttributes {}); }
    bool isToBeChanged() const;
    // The same decision from the facets alone, for callers that hold them apart.
    static bool isToBeChanged(const FileSource& source, const FileTransform& transformed, const FileValidation& validation);
    QUrl targetUrl() const;

    // Re-reads the file after it was renamed to `url`; keeps id, alias information,
    // counters and attributes.
    void initProperties(const QUrl& url);
    // The same after this run moved the file to `fullPath`: what the move cannot
    // have changed is kept, not read again.
    void applyRename(const QString& fullPath);
    // Discards the new name and the validation results.
    void resetTransformations();
    File withDirtyFlag(bool dirty) const;
    // Loads the attributes once, through the installed attribute reader.
    void initializeAttributes();

    bool operator==(const File& other) const { return source.fileInfo.hasSameURL(other.source.fileInfo); }
};

inline size_t qHash(const File& file, size_t seed = 0)
{
    return qHash(file.source.fileInfo.urlPath(), seed);
}

Q_DECLARE_METATYPE(File)
