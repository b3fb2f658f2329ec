// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileSortOrder.h"

#include <QHash>

const QList<FileSortOrder>& allFileSortOrders()
{
    static const QList<FileSortOrder> orders {
        FileSortOrder::none,
        FileSortOrder::defaultSort,
        FileSortOrder::byNameAscending,
        FileSortOrder::byNameDescending,
        FileSortOrder::byTransformedNameAscending,
        FileSortOrder::byTransformedNameDescending,
        FileSortOrder::byPathAscending,
        FileSortOrder::byPathDescending,
        FileSortOrder::byTransformedPathAscending,
        FileSortOrder::byTransformedPathDescending,
        FileSortOrder::byDateModifiedAscending,
        FileSortOrder::byDateModifiedDescending,
        FileSortOrder::byNumericNameAscending,
        FileSortOrder::byNumericNameDescending,
        FileSortOrder::byNumericTransformedNameAscending,
        FileSortOrder::byNumericTransformedNameDescending,
    };
    return orders;
}

QString rawValue(FileSortOrder order)
{
    switch (order) {
    case FileSortOrder::none: return QStringLiteral("none");
    case FileSortOrder::defaultSort: return QStringLiteral("default");
    case FileSortOrder::byNameAscending: return QStringLiteral("byNameAscending");
    case FileSortOrder::byNameDescending: return QStringLiteral("byNameDescending");
    case FileSortOrder::byTransformedNameAscending: return QStringLiteral("byTransformedNameAscending");
    case FileSortOrder::byTransformedNameDescending: return QStringLiteral("byTransformedNameDescending");
    case FileSortOrder::byPathAscending: return QStringLiteral("byPathAscending");
    case FileSortOrder::byPathDescending: return QStringLiteral("byPathDescending");
    case FileSortOrder::byTransformedPathAscending: return QStringLiteral("byTransformedPathAscending");
    case FileSortOrder::byTransformedPathDescending: return QStringLiteral("byTransformedPathDescending");
    case FileSortOrder::byDateModifiedAscending: return QStringLiteral("byDateModifiedAscending");
    case FileSortOrder::byDateModifiedDescending: return QStringLiteral("byDateModifiedDescending");
    case FileSortOrder::byNumericNameAscending: return QStringLiteral("byNumericNameAscending");
    case FileSortOrder::byNumericNameDescending: return QStringLiteral("byNumericNameDescending");
    case FileSortOrder::byNumericTransformedNameAscending: return QStringLiteral("byNumericTransformedNameAscending");
    case FileSortOrder::byNumericTransformedNameDescending: return QStringLiteral("byNumericTransformedNameDescending");
    }
    return {};
}

std::optional<FileSortOrder> fileSortOrderFromRawValue(const QString& text)
{
    for (FileSortOrder order : allFileSortOrders()) {
        if (rawValue(order) == text)
            return order;
    }
    return std::nullopt;
}

QString menuDescription(FileSortOrder order)
{
    switch (order) {
    case FileSortOrder::none: return QStringLiteral("No Sort");
    case FileSortOrder::defaultSort: return QStringLiteral("Default Sort");
    case FileSortOrder::byNameAscending: return QStringLiteral("Sort by name ascending");
    case FileSortOrder::byNameDescending: return QStringLiteral("Sort by name descending");
    case FileSortOrder::byTransformedNameAscending: return QStringLiteral("Sort by transformed name ascending");
    case FileSortOrder::byTransformedNameDescending: return QStringLiteral("Sort by transformed name descending");
    case FileSortOrder::byPathAscending: return QStringLiteral("Sort by path ascending");
    case FileSortOrder::byPathDescending: return QStringLiteral("Sort by path descending");
    case FileSortOrder::byTransformedPathAscending: return QStringLiteral("Sort by transformed path ascending");
    case FileSortOrder::byTransformedPathDescending: return QStringLiteral("Sort by transformed path descending");
    case FileSortOrder::byDateModifiedAscending: return QStringLiteral("Sort by date modified ascending");
    case FileSortOrder::byDateModifiedDescending: return QStringLiteral("Sort by date modified descending");
    case FileSortOrder::byNumericNameAscending: return QStringLiteral("Sort by numeric name ascending");
    case FileSortOrder::byNumericNameDescending: return QStringLiteral("Sort by numeric name descending");
    case FileSortOrder::byNumericTransformedNameAscending: return QStringLiteral("Sort by numeric transformed name ascending");
    case FileSortOrder::byNumericTransformedNameDescending: return QStringLiteral("Sort by numeric transformed name descending");
    }
    return {};
}

SortMenuItem sortMenuItem(FileSortOrder order)
{
    static const QHash<FileSortOrder, SortMenuItem> items {
        { FileSortOrder::defaultSort, SortMenuItem::defaultSort },
        { FileSortOrder::byNameAscending, SortMenuItem::byNameAscending },
        { FileSortOrder::byNameDescending, SortMenuItem::byNameDescending },
        { FileSortOrder::byTransformedNameAscending, SortMenuItem::byTransformedNameAscending },
        { FileSortOrder::byTransformedNameDescending, SortMenuItem::byTransformedNameDescending },
        { FileSortOrder::byPathAscending, SortMenuItem::byPathAscending },
        { FileSortOrder::byPathDescending, SortMenuItem::byPathDescending },
        { FileSortOrder::byTransformedPathAscending, SortMenuItem::byTransformedPathAscending },
        { FileSortOrder::byTransformedPathDescending, SortMenuItem::byTransformedPathDescending },
        { FileSortOrder::byDateModifiedAscending, SortMenuItem::byDateModifiedAscending },
        { FileSortOrder::byDateModifiedDescending, SortMenuItem::byDateModifiedDescending },
        { FileSortOrder::byNumericNameAscending, SortMenuItem::byNumericNameAscending },
        { FileSortOrder::byNumericNameDescending, SortMenuItem::byNumericNameDescending },
        { FileSortOrder::byNumericTransformedNameAscending, SortMenuItem::byNumericTransformedNameAscending },
        { FileSortOrder::byNumericTransformedNameDescending, SortMenuItem::byNumericTransformedNameDescending },
    };
    return items.value(order, SortMenuItem::noSort);
}
