// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <unicode/uversion.h>

#include <memory>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

// The comparison of file names in lists: case ignored, runs of digits compared by
// their value, canonically equal texts equal, the user's locale. One instance per thread.
class FileNameCollator {
public:
    FileNameCollator();
    ~FileNameCollator();
    FileNameCollator(FileNameCollator&&) noexcept;

    // Negative, zero or positive as `a` goes before, with or after `b`.
    int compare(const QString& a, const QString& b) const;
    // Bytes that compare (memcmp) as `compare` compares the texts: made once
    // per text, they spare a sort the collation of every pair. Texts of one
    // canonical form get equal keys.
    QByteArray sortKey(const QString& text) const;

private:
    std::unique_ptr<icu::Collator> m_collator;
};
