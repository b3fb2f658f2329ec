// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include <algorithm>

// A stable bottom-up merge sort that needs nothing of `less` but an answer: it
// ends after O(n log n) calls even when `less` is no strict weak order (the date
// orders leave undated files unordered), where std::sort may run out of bounds.
// An exception thrown by `less` (a cancelled sort) leaves `values` as it was.
template <typename T, typename Less>
void stableMergeSort(QList<T>& values, Less less)
{
    const qsizetype count = values.size();
    if (count < 2)
        return;
    QList<T> from = values;
    QList<T> to(count);
    for (qsizetype width = 1; width < count; width *= 2) {
        for (qsizetype left = 0; left < count; left += 2 * width) {
            const qsizetype middle = std::min(left + width, count);
            const qsizetype right = std::min(left + 2 * width, count);
            const T* in = from.constData();
            T* out = to.data();
            qsizetype i = left;
            qsizetype j = middle;
            qsizetype k = left;
            // Take from the right run only when it goes strictly before the left.
            while (i < middle && j < right)
                out[k++] = less(in[j], in[i]) ? in[j++] : in[i++];
            while (i < middle)
                out[k++] = in[i++];
            while (j < right)
                out[k++] = in[j++];
        }
        std::swap(from, to);
    }
    values = std::move(from);
}
