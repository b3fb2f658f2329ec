// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileQueue.h"

#include "platform/GlobalActors.h"
#include "platform/Log.h"

qsizetype FileQueue::count() const
{
    assertOnQueueExecutor();
    return m_fileQueue.size();
}

std::optional<File> FileQueue::nextFile()
{
    assertOnQueueExecutor();
    if (m_fileQueue.isEmpty())
        return std::nullopt;
    File file = m_fileQueue.takeFirst();
    m_ids.remove(file.source.id);
    return file;
}

void FileQueue::clear()
{
    assertOnQueueExecutor();
    m_fileQueue.clear();
    m_ids.clear();
}

bool FileQueue::contains(const File& file) const
{
    assertOnQueueExecutor();
    return m_ids.contains(file.source.id);
}

void FileQueue::addToBack(const File& file)
{
    if (contains(file))
        return;
    m_fileQueue.append(file);
    m_ids.insert(file.source.id);
    dropFirstInQueue();
}

void FileQueue::addToFront(const File& file)
{
    assertOnQueueExecutor();
    const QUuid id = file.source.id;
    if (m_ids.contains(id))
        m_fileQueue.removeIf([&](const File& queued) { return queued.source.id == id; });
    m_fileQueue.prepend(file);
    m_ids.insert(id);
    dropLastInQueue();
}

QString FileQueue::queuedIndexes() const
{
    assertOnQueueExecutor();
    QStringList indexes;
    for (const File& file : m_fileQueue) {
        if (file.index)
            indexes << QString::number(*file.index);
    }
    return indexes.join(QStringLiteral(", "));
}

void FileQueue::dropFirstInQueue()
{
    if (m_fileQueue.size() <= MAX_COUNT)
        return;
    m_ids.remove(m_fileQueue.takeLast().source.id);
    logDrop();
}

void FileQueue::dropLastInQueue()
{
    if (m_fileQueue.size() <= MAX_COUNT)
        return;
    m_ids.remove(m_fileQueue.takeFirst().source.id);
    logDrop();
}

void FileQueue::logDrop() const
{
    Log::debug(Log::Category::background, "FileQueue dropped 1 file, size is now: %ld", m_fileQueue.size());
}

void FileQueue::assertOnQueueExecutor() const
{
    Q_ASSERT_X(GlobalActors::transformationQueue().isCurrent(), "FileQueue",
        "used outside the transformation-queue executor");
}
