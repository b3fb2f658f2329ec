// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The orders of the file list, stored as their raw values.
enum class FileSortOrder {
    none,
    defaultSort,
    byNameAscending,
    byNameDescending,
    byTransformedNameAscending,
    byTransformedNameDescending,
    byPathAscending,
    byPathDescending,
    byTransformedPathAscending,
    byTransformedPathDescending,
    byDateModifiedAscending,
    byDateModifiedDescending,
    byNumericNameAscending,
    byNumericNameDescending,
    byNumericTransformedNameAscending,
    byNumericTransformedNameDescending,
};

const QList<FileSortOrder>& allFileSortOrders();
QString rawValue(FileSortOrder order);
std::optional<FileSortOrder> fileSortOrderFromRawValue(const QString& text);
// The text shown for the order and the name of its undo step.
QString menuDescription(FileSortOrder order);

inline size_t qHash(FileSortOrder order, size_t seed = 0)
{
    return qHash(rawValue(order), seed);
}

// The sort items of the main menu; the value is the item's tag.
enum class SortMenuItem {
    noSort = 200,
    defaultSort,
    byNameAscending,
    byNameDescending,
    byNumericNameAscending,
    byNumericNameDescending,
    byPathAscending,
    byPathDescending,
    byDateModifiedAscending,
    byDateModifiedDescending,
    byTransformedNameAscending,
    byTransformedNameDescending,
    byNumericTransformedNameAscending,
    byNumericTransformedNameDescending,
    byTransformedPathAscending,
    byTransformedPathDescending,
};

// The menu item of the same name; noSort for none.
SortMenuItem sortMenuItem(FileSortOrder order);
