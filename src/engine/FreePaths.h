// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Tells which of many new paths nothing holds on disk, without asking the disk
// once per path where it can: a folder that receives many of them is read
// once, when its file system compares names byte by byte; any other path is
// looked up by name in its folder, opened once per run of paths in it. Only
// "surely free" is an answer; everything else is for the caller to check.
class FreePaths {
public:
    // Reads the folders of `paths` (empty ones are skipped) that are worth it.
    explicit FreePaths(const std::vector<QString>& paths);

    // One per thread: the folder asked about last, with its listing when it
    // was read, else opened for lookups by name.
    class Probe {
    public:
        Probe() = default;
        Probe(const Probe&) = delete;
        Probe& operator=(const Probe&) = delete;
        ~Probe();

    private:
        friend class FreePaths;
        bool isSurelyFree(const QByteArray& name) const;
        void close();

        QString m_folder;
        const std::vector<size_t>* m_listing = nullptr;
        int m_fd = -1;
    };

    // Whether nothing is at `path`; safe to ask from many threads, each with its own probe.
    bool isSurelyFree(const QString& path, Probe& probe) const;

private:
    // The hashes of the names in each folder that was read, sorted: a name
    // whose hash is missing is surely not there; a hash that is found is only
    // a maybe, which the caller's own check settles.
    QHash<QString, std::vector<size_t>> m_listings;
};
