// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A lookup table made ready to be tried on many names. Each row's find text is
// composed once, and a row whose first three characters occur nowhere in a name
// in a row is passed over without a search: a table of many rows costs little
// for a name that holds few of them.
class LookupSearch {
public:
    explicit LookupSearch(const QList<QStringList>& table);

    // The search for `table` this thread made last, or a new one.
    static std::shared_ptr<const LookupSearch> forTable(const QList<QStringList>& table);

    // `text` composed, with the rows replaced in their order: every
    // occurrence, the one at the start or at the end, or, with both anchors,
    // a find text that is the whole name.
    QString apply(const QString& text, bool caseInsensitive, bool anchorStart, bool anchorEnd) const;

private:
    struct Row {
        QString find;
        QString replace;
        // Compared without regard to the name's marks: the find text has none.
        bool diacriticInsensitive = false;
        // Its first characters, up to three, by their folded first code points,
        // as a bit of a name's key set.
        quint32 startBit = 0;
        int startLength = 0;
    };
    class NameKeys;

    // Kept so that its storage, which identifies the table, stays in use.
    QList<QStringList> m_table;
    std::vector<Row> m_rows;
};
