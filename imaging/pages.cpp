#include "imaging/pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older systems refuse it, which is harmless
#endif
#endif

void PreparePages(void *memory, size_t bytes) noexcept
{
#if defined(__linux__)
    static const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t first = (start + page - 1) & ~(page - 1);
    const uintptr_t end = (start + bytes) & ~(page - 1);
    // Whole pages inside the range only: the pages at its ends may be
    // another's, and a page is only ever provided, never changed.
    if (end > first)
        ::madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)memory;
    (void)bytes;
#endif
}
