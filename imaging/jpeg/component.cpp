#include "imaging/jpeg/component.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t HugePage = size_t(2) << 20;

} // namespace

void *AllocateImageArray(size_t bytes)
{
    if (bytes == 0)
        bytes = 1;
    void *memory = nullptr;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= 2 * HugePage) {
        const size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
        memory = std::aligned_alloc(HugePage, rounded);
        if (memory)
            ::madvise(memory, rounded, MADV_HUGEPAGE); // a hint: failure changes nothing
    }
#endif
    if (!memory)
        memory = std::malloc(bytes);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void ReleaseImageArray(void *memory) noexcept
{
    std::free(memory);
}
