#pragma once
// Asking the system for memory pages before writing them.

#include <cstddef>
#include <vector>

// Has the system provide the whole pages of memory .. memory + bytes at once,
// before they are written: one call instead of a page fault per 4 KiB, which
// on a virtual machine costs a good deal more than the page itself. The
// contents stay as they are. A hint only: a system without it changes
// nothing.
void PreparePages(void *memory, size_t bytes) noexcept;

// Resizes a vector to count elements, its new memory prepared first.
template <class Vector>
void ResizePrepared(Vector &vector, size_t count)
{
    if (count > vector.capacity()) {
        vector.reserve(count);
        PreparePages(vector.data(), vector.capacity() * sizeof(*vector.data()));
    }
    vector.resize(count);
}
