// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileAttributeLoader.h"

#include <QMutex>

namespace FileAttributeLoader {

namespace {
QMutex mutex;
Load& installed()
{
    static Load load;
    return load;
}
} // namespace

void install(Load load)
{
    QMutexLocker lock(&mutex);
    installed() = std::move(load);
}

std::optional<FileAttributeDictionary> load(const QUrl& url)
{
    Load load;
    {
        QMutexLocker lock(&mutex);
        load = installed();
    }
    if (!load)
        return std::nullopt;
    return load(url);
}

} // namespace FileAttributeLoader
