// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSet>

#include <algorithm>
#include <functional>

// Order-keeping helpers over lists.
namespace Array {

// The first occurrence of each value, in the order of first occurrence.
template <typename T>
QList<T> unique(const QList<T>& array)
{
    QSet<T> seen;
    QList<T> result;
    for (const T& element : array) {
        if (!seen.contains(element)) {
            seen.insert(element);
            result.append(element);
        }
    }
    return result;
}

// Chunks of `size` elements, the last one holding the rest; a size below 1
// gives no chunks.
template <typename T>
QList<QList<T>> chunked(const QList<T>& array, qsizetype size)
{
    QList<QList<T>> chunks;
    if (size < 1)
        return chunks;
    for (qsizetype start = 0; start < array.size(); start += std::min(size, array.size() - start))
        chunks.append(array.mid(start, size));
    return chunks;
}

// Removes the elements the predicate accepts (asked once per element, from
// the front) and answers them; both lists keep their order.
template <typename T, typename Predicate>
QList<T> extract(QList<T>& array, Predicate predicate)
{
    QList<T> removed;
    QList<T> kept;
    for (const T& element : std::as_const(array)) {
        if (predicate(element))
            removed.append(element);
        else
            kept.append(element);
    }
    array = kept;
    return removed;
}

// Grows with copies of `fill` or cuts at the end; a negative count empties it.
template <typename T>
void resize(QList<T>& collection, qsizetype count, const T& fill)
{
    count = std::max<qsizetype>(count, 0);
    if (collection.size() > count)
        collection.remove(count, collection.size() - count);
    while (collection.size() < count)
        collection.append(fill);
}

} // namespace Array
