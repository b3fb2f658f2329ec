// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileComponents.h"

#include "platform/BackgroundPool.h"

#include <malloc.h>

namespace {

void deleteInBackground(const FileComponents* components)
{
    if (components->orderedIndex.isEmpty() && components->fileSources.isEmpty()) {
        delete components;
        return;
    }
    // Not on Qt's global pool: a long release there would hold back the painter,
    // which fills on that pool from the main thread.
    BackgroundPool::start([components] { delete components; });
}

} // namespace

void FileComponents::releaseInBackground(FileComponents components)
{
    deleteInBackground(new FileComponents(std::move(components)));
}

std::shared_ptr<const FileComponents> FileComponents::sharedReleasedInBackground(FileComponents components)
{
    return std::shared_ptr<const FileComponents>(new FileComponents(std::move(components)), deleteInBackground);
}

void FileComponents::returnFreedMemory()
{
    ::malloc_trim(0);
}
