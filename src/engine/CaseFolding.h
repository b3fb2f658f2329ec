// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Whether a folder finds a name under another spelling (other letter case,
// other composition), as FAT, exFAT and case-folding folders do. The folder
// itself is asked: the other spelling of a name it lists is looked up. An
// inode cannot tell, since some file systems give each spelling its own.
// Asked once per folder and kept while the object lives (one run, one
// validation); safe to use from several threads.
class CaseFolding {
public:
    // The questions put to the disk. Tests replace them.
    struct Lookups {
        // Whether anything is found under `name` in `folder` (fstatat).
        std::function<bool(const QString& folder, const QString& name)> finds;
        // The names the folder lists; none when it is not there or cannot be read.
        std::function<std::optional<QStringList>(const QString& folder)> names;
    };
    static Lookups systemLookups();

    // Replaces the lookups while it lives; members left empty keep the system's.
    class ScopedLookups {
    public:
        explicit ScopedLookups(Lookups replacement);
        ~ScopedLookups();
        ScopedLookups(const ScopedLookups&) = delete;
        ScopedLookups& operator=(const ScopedLookups&) = delete;

    private:
        Lookups m_previous;
    };

    // Whether the folder folds case; a folder that is not there yet answers as
    // the nearest folder above it that is.
    bool foldsCase(const QString& folder);

    // Whether two full paths name one entry: the same folder, names equal but
    // for case and composition, and a folder that folds case.
    bool areOneEntry(const QString& a, const QString& b);
    // Whether two full paths are the same folder with names that differ only
    // in case or composition (the disk is not asked).
    static bool areOtherSpellings(const QString& a, const QString& b);

    // The name as a folding folder compares it.
    static QString folded(const QString& name);

private:
    std::optional<bool> answerOf(const QString& folder);

    QMutex m_mutex;
    QHash<QString, bool> m_folds;
};
