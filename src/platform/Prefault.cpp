// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Prefault.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace Prefault {

namespace {

void mapWholePages(const void* begin, std::size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(page - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#endif
}

} // namespace

void forWriting(const void* begin, std::size_t bytes)
{
    constexpr std::size_t worthIt = std::size_t(1) << 20;
    if (begin && bytes >= worthIt)
        mapWholePages(begin, bytes);
}

void chunkForWriting(const void* begin, std::size_t bytes)
{
    if (begin)
        mapWholePages(begin, bytes);
}

} // namespace Prefault
