// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QArrayDataPointer>

#include <cstddef>

namespace Prefault {

// Maps the pages of a large buffer about to be filled in one system call, so
// that filling it takes no page fault a page. Small buffers and kernels
// without the call are left alone; nothing depends on it but the speed.
void forWriting(const void* begin, std::size_t bytes);

// The same for one chunk of a buffer that many threads fill, each its own
// chunks: the kernel then zeroes the new pages on all cores, not on one.
// Pages a chunk only shares with its neighbours are left to fault.
void chunkForWriting(const void* begin, std::size_t bytes);

// The same for the free capacity of a list reserved for its elements.
template <typename List>
void reservedCapacityOf(const List& list)
{
    forWriting(list.constData() + list.size(), std::size_t(list.capacity() - list.size()) * sizeof(*list.constData()));
}

// Room for `count` elements not made yet, for threads that make the elements
// in place, each mapping its chunks with chunkForWriting first; the caller
// sets `size` once all are made. Throws on a failed allocation, as a list would.
template <typename T>
QArrayDataPointer<T> unmadeStorage(qsizetype count)
{
    QArrayDataPointer<T> storage(QTypedArrayData<T>::allocate(count));
    if (count > 0 && !storage.data())
        qBadAlloc();
    return storage;
}

} // namespace Prefault
