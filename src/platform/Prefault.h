// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace Prefault {

// Maps the pages of a large buffer about to be filled in one system call, so
// that filling it takes no page fault a page. Small buffers and kernels
// without the call are left alone; nothing depends on it but the speed.
void forWriting(const void* begin, std::size_t bytes);

// The same for the free capacity of a list reserved for its elements.
template <typename List>
void reservedCapacityOf(const List& list)
{
    forWriting(list.constData() + list.size(), std::size_t(list.capacity() - list.size()) * sizeof(*list.constData()));
}

} // namespace Prefault
