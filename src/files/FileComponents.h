#pragma once

#include "files/File.h"

#include <QList>

// A snapshot of the store: the facet arrays in storage order, the display order
// and the generation. Copies share their lists until written.
struct FileComponents {
    QList<FileSource> fileSources;
    QList<FileTransform> fileTransforms;
    QList<FileValidation> fileValidations;
    QList<std::optional<FileAttributes>> fileAttributes;
    QList<int> orderedIndex;
    qint64 fileGenerationId = 0;
};
