#include "imaging/jpeg/component.h"

#include <cstdlib>
#include <new>

void *AllocateImageArray(size_t bytes)
{
    void *memory = std::malloc(bytes == 0 ? 1 : bytes);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void ReleaseImageArray(void *memory) noexcept
{
    std::free(memory);
}
