// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// The files that wait for a single-file transformation, front first. A file is
// known by its source id: it is never queued twice, and never more than
// MAX_COUNT files wait. Every call is made on the transformation-queue executor
// (GlobalActors::transformationQueue()).
class FileQueue {
public:
    static constexpr qsizetype MAX_COUNT = 5000;

    qsizetype count() const;
    // Removes and answers the front file; none when the queue is empty.
    std::optional<File> nextFile();
    void clear();
    bool contains(const File& file) const;
    // A queued file keeps its place and its queued copy.
    void addToBack(const File& file);
    // A queued file moves to the front, as the new copy.
    void addToFront(const File& file);
    // The waiting files' list positions, front first, "3, 7"; for the log.
    QString queuedIndexes() const;

private:
    void dropFirstInQueue(); // the capacity step after addToBack: drops the file just added
    void dropLastInQueue();  // the capacity step after addToFront: drops the file just added
    void logDrop() const;
    void assertOnQueueExecutor() const;

    QList<File> m_fileQueue;
    QSet<QUuid> m_ids;
};
