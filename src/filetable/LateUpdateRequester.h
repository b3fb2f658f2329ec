// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QHash>
#include <QUuid>

#include <functional>

struct FileComponents;

// The table's request for a single-file transformation of a file whose preview
// is still pending. The engine layer installs the hook that queues the file; the
// table asks once per file and generation, however often the row is painted.
class LateUpdateRequester {
public:
    enum class Priority { high, normal };
    using Hook = std::function<void(const File&, Priority)>;

    void setHook(Hook hook) { m_hook = std::move(hook); }
    bool hasHook() const { return static_cast<bool>(m_hook); }

    // Hands the file to the hook unless it was handed over already in its
    // generation. Does nothing without a hook or for a file that is not late.
    void request(const File& file, Priority priority);

    // Called with every new snapshot of the store: a new generation forgets every
    // request, and a file whose late update has landed may be asked for again.
    void snapshotChanged(const FileComponents& snapshot);

    bool wasRequested(const File& file) const;
    int pendingCount() const { return static_cast<int>(m_requested.size()); }

private:
    Hook m_hook;
    qint64 m_generation = -1;
    QHash<qint64, QUuid> m_requested; // storage index -> source id
};
