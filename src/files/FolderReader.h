// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QString>
#include <QUrl>

#include <optional>

// One folder held open while its entries are read: each entry is looked up
// relative to the open folder, not by its full path, and the entries share the
// folder's path.
class FolderReader {
public:
    // Opens and lists the folder at `path` (no trailing "/"). Throws
    // FileManagerError when it cannot be opened or listed.
    explicit FolderReader(const QString& path);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    int fd() const { return m_fd; }
    // The names as the file system stores them ("." and ".." left out), in its order.
    const QByteArrayList& names() const { return m_names; }
    // The folder's path with one "/" appended, "/" for the root.
    const QString& prefix() const { return m_prefix; }
    // The folder part of every entry's path, one copy for all of them.
    const QString& entriesPath() const { return m_entriesPath; }

private:
    int m_fd = -1;
    QByteArrayList m_names;
    QString m_prefix;
    QString m_entriesPath;
};

// The volume of the entries of a folder, looked up once per device. Entries are
// read on several threads at once: each keeps its own.
class EntryVolumes {
public:
    template <typename Lookup>
    const std::optional<QUrl>& volume(quint64 device, Lookup lookup)
    {
        if (!m_volume || m_volume->first != device)
            m_volume.emplace(device, lookup());
        return m_volume->second;
    }

private:
    std::optional<std::pair<quint64, std::optional<QUrl>>> m_volume;
};
