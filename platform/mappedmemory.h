// SPDX-License-Identifier: MIT

#pragma once

// Memory mapped from the system and given back to it whole when freed: for the large
// buffers that come and go (the list's chunks, an export's grid of cells), which the heap
// would otherwise keep once it has grown its threshold for mapping past their size.

#include <cstddef>
#include <new>

namespace mapped {

// `bytes` (a multiple of `alignment`, itself a power of two and a multiple of the page
// size) at an address aligned to `alignment`; none when the system has no room. An
// alignment of 2 MiB or more asks for transparent huge pages where the kernel offers them.
void *map(std::size_t bytes, std::size_t alignment) noexcept;
// Faults every page in now, in one call where the kernel can (Linux 5.14 on), else page by
// page: a loop that writes the memory later takes no trap per page. False when the
// system has no memory for the pages.
bool populate(void *memory, std::size_t bytes) noexcept;
void unmap(void *memory, std::size_t bytes) noexcept;

std::size_t pageSize() noexcept;

// A standard allocator on map() and unmap(), for a large container whose memory must go
// back to the system when it is freed.
template<typename T> struct Allocator
{
    using value_type = T;
    Allocator() = default;
    template<typename U> Allocator(const Allocator<U> &) {}

    T *allocate(std::size_t n)
    {
        void *p = map(roundedBytes(n), pageSize());
        if (!p)
            throw std::bad_alloc();
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t n) noexcept { unmap(p, roundedBytes(n)); }

    template<typename U> bool operator==(const Allocator<U> &) const { return true; }

private:
    static std::size_t roundedBytes(std::size_t n)
    {
        const std::size_t page = pageSize();
        return (n * sizeof(T) + page - 1) / page * page;
    }
};

} // namespace mapped
