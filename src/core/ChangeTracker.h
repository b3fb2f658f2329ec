// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// An object whose content can be hashed, to tell whether it changed.
class ChangeTrackerHashable {
public:
    virtual ~ChangeTrackerHashable() = default;
    virtual qint64 currentHash() const = 0;
};

// Remembers the hash of an object and reports whether it differs since.
// The object must outlive the tracker.
class ChangeTracker {
public:
    explicit ChangeTracker(const ChangeTrackerHashable& tracked)
        : m_tracked(&tracked)
        , m_baselineHash(tracked.currentHash())
    {
    }

    bool isChanged() const { return m_tracked->currentHash() != m_baselineHash; }
    void update() { m_baselineHash = m_tracked->currentHash(); }
    qint64 baselineHash() const { return m_baselineHash; }

private:
    const ChangeTrackerHashable* m_tracked;
    qint64 m_baselineHash;
};
