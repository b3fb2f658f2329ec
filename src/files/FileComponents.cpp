#include "files/FileComponents.h"

#include <QThreadPool>

#include <malloc.h>

namespace {

void deleteInBackground(const FileComponents* components)
{
    if (components->orderedIndex.isEmpty() && components->fileSources.isEmpty()) {
        delete components;
        return;
    }
    // The global pool runs what was queued before it ends, so nothing leaks at exit.
    QThreadPool::globalInstance()->start([components] { delete components; });
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
