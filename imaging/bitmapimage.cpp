#include "imaging/bitmapimage.h"

#include <cstring>

#include <sys/mman.h>

namespace {

// Blocks from this size on are mapped on their own; smaller ones come from
// the heap. Sanitizer builds keep every block on the heap, where overruns
// are caught.
#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_HEAP_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_HEAP_ONLY 1
#endif
#endif
#ifdef TESSALY_HEAP_ONLY
constexpr size_t MappedBlockBytes = SIZE_MAX;
#else
constexpr size_t MappedBlockBytes = size_t(4) << 20;
#endif

} // namespace

void *AllocateZeroedBlock(size_t bytes)
{
    if (bytes < MappedBlockBytes) {
        void *block = std::calloc(bytes == 0 ? 1 : bytes, 1);
        if (!block)
            throw std::bad_alloc();
        return block;
    }
    void *block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    // No large pages are asked for: on a virtual machine they are as often a
    // stall as a gain. The readers ask for the pages as their rows arrive.
    return block;
}

void FreeZeroedBlock(void *block, size_t bytes) noexcept
{
    if (!block)
        return;
    if (bytes < MappedBlockBytes)
        std::free(block);
    else
        munmap(block, bytes);
}

void TBitmapImage::SetSize(int32_t width, int32_t height)
{
    Width = width;
    Height = height;
    // The product is kept as a 32-bit value, as the field is; it wraps the
    // way the stored field would rather than overflowing in C++.
    PixelCount = static_cast<int32_t>(static_cast<uint32_t>(int64_t(width) * int64_t(height)));
    if (PixelCount < 0)
        throw std::range_error("Range check error");
    const size_t oldLength = Pixels.size();
    const size_t oldCapacity = Pixels.capacity();
    const size_t newLength = size_t(PixelCount);
    Pixels.resize(newLength);
    // A new block comes zeroed; reused capacity may hold pixels from before
    // a shrink.
    if (newLength > oldLength && newLength <= oldCapacity)
        std::memset(static_cast<void *>(Pixels.data() + oldLength), 0, (newLength - oldLength) * sizeof(TPixel));
}

TBitmapImageCoder::~TBitmapImageCoder()
{
    ProgressFunction = nullptr;
    ProgressData = 0;
}

void TBitmapImageCoder::ReportProgress(uint32_t currentPass, uint32_t passCount,
                                       const std::string &description, uint32_t percentDone)
{
    if (!ProgressFunction)
        return;
    bool abort = false;
    ProgressFunction(*this, ProgressData, currentPass, passCount, description, percentDone, abort);
    if (abort)
        throw EGraphicsAbort();
}
