// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QList>

#include <memory>

// A snapshot of the store: the facet arrays in storage order, the display order
// and the generation. Copies share their lists until written.
struct FileComponents {
    QList<FileSource> fileSources;
    QList<FileTransform> fileTransforms;
    QList<FileValidation> fileValidations;
    QList<std::optional<FileAttributes>> fileAttributes;
    QList<int> orderedIndex;
    qint64 fileGenerationId = 0;

    // Lets go of the lists on a worker: whoever drops the last reference to a
    // long list pays one destructor a file, and the main thread has no time for
    // that. Costs the caller nothing per file.
    static void releaseInBackground(FileComponents components);
    // A shared hold of the lists whose last release happens on a worker, for
    // holders that may die on the main thread (undo steps).
    static std::shared_ptr<const FileComponents> sharedReleasedInBackground(FileComponents components);
    // Gives the pages that long lists left free back to the system. Freed
    // memory otherwise stays resident in the arena of the thread that freed it,
    // where other threads' lists cannot use it.
    static void returnFreedMemory();
};
