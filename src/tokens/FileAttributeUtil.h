#pragma once

#include "files/FileAttribute.h"

#include <QUrl>

// Reads the attributes of one file from disk. Nothing is cached here; callers
// keep the result with the file.
namespace FileAttributeUtil {

// Every attribute of the file; never fails (a source that cannot be read
// contributes nothing). The image and media readers join in a later step.
FileAttributeDictionary loadAttributes(const QUrl& url);
// Kind, content type, dates, size, tags, inode and volume.
void basicAttributes(const QUrl& url, FileAttributeDictionary& attributes);

} // namespace FileAttributeUtil
