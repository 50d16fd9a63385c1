// SPDX-License-Identifier: MIT

#include "platform/mappedmemory.h"

#include <cerrno>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14
#endif

namespace mapped {

std::size_t pageSize() noexcept
{
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return page;
}

void *map(std::size_t bytes, std::size_t alignment) noexcept
{
    // Larger by the alignment, then cut to the aligned range: only an aligned range can be
    // one huge page.
    const std::size_t span = alignment > pageSize() ? bytes + alignment : bytes;
    void *raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + alignment - 1) & ~(alignment - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    if (const std::uintptr_t end = start + span; end > aligned + bytes)
        ::munmap(reinterpret_cast<void *>(aligned + bytes), end - aligned - bytes);
#ifdef MADV_HUGEPAGE
    if (alignment >= (std::size_t{2} << 20))
        ::madvise(reinterpret_cast<void *>(aligned), bytes, MADV_HUGEPAGE); // a hint
#endif
    return reinterpret_cast<void *>(aligned);
}

bool populate(void *memory, std::size_t bytes) noexcept
{
    if (::madvise(memory, bytes, MADV_POPULATE_WRITE) == 0)
        return true;
    if (errno == ENOMEM)
        return false;
    // An older kernel: touched page by page, which a fresh mapping reads as zeros anyway.
    auto *p = static_cast<volatile unsigned char *>(memory);
    for (std::size_t i = 0; i < bytes; i += pageSize())
        p[i] = 0;
    return true;
}

void unmap(void *memory, std::size_t bytes) noexcept
{
    ::munmap(memory, bytes);
}

} // namespace mapped
