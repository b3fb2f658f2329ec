// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QString>
#include <QUuid>

// One row of the lookup table: the text to look for and its replacement. The
// id tells rows apart inside the editor only; it is never stored.
struct LookupTableItem {
    QUuid id = QUuid::createUuid();
    QString find;
    QString replace;

    LookupTableItem() = default;
    LookupTableItem(QString find, QString replace)
        : find(std::move(find))
        , replace(std::move(replace))
    {
    }

    bool isEmpty() const { return find.isEmpty() && replace.isEmpty(); }
    bool operator==(const LookupTableItem&) const = default;
};

inline size_t qHash(const LookupTableItem& item, size_t seed = 0)
{
    return qHashMulti(seed, item.id, item.find, item.replace);
}
