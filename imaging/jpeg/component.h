#pragma once
// One colour component of the image being encoded: its samples, its
// quantized coefficient blocks and the state its scans code with.

#include "imaging/pages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

class TJpegHuffmanEncoder;
class TJpegEncoderQuantizationTable;
class TJpegOutputStream;

using JPEG8BITSAMPLE = uint8_t;
using TJpegCoefficientBlock = std::array<int16_t, 64>;

// The allocator of the sample and coefficient arrays. New elements are left
// uninitialised: the arrays are sized for a whole image and then written in
// full, so zero-filling them first would only cost time.
void *AllocateImageArray(size_t bytes);
void ReleaseImageArray(void *memory) noexcept;


template <class T>
struct TUninitialisedAllocator {
    using value_type = T;

    TUninitialisedAllocator() = default;
    template <class U>
    TUninitialisedAllocator(const TUninitialisedAllocator<U> &) {}

    T *allocate(size_t count)
    {
        if (count > size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T *>(AllocateImageArray(count * sizeof(T)));
    }
    void deallocate(T *memory, size_t) noexcept { ReleaseImageArray(memory); }

    template <class U>
    void construct(U *place) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void *>(place)) U;
    }
    template <class U, class... Arguments>
    void construct(U *place, Arguments &&...arguments)
    {
        ::new (static_cast<void *>(place)) U(std::forward<Arguments>(arguments)...);
    }
    template <class U>
    friend bool operator==(const TUninitialisedAllocator &, const TUninitialisedAllocator<U> &)
    {
        return true;
    }
};

using TJpegSampleArray = std::vector<JPEG8BITSAMPLE, TUninitialisedAllocator<JPEG8BITSAMPLE>>;
using TJpegBlockArray = std::vector<TJpegCoefficientBlock, TUninitialisedAllocator<TJpegCoefficientBlock>>;

class TJpegEncoderComponent {
public:
    // Data units vertically and horizontally, MCU padding included.
    uint32_t FDuRows = 0;
    uint32_t FDuCols = 0;
    // Block (r, c) is element r * FDuCols + c; natural order inside a block.
    TJpegBlockArray FCoefficients;

    // End-of-band state of progressive AC scans.
    int32_t FEobRun = 0;
    int32_t FEobStartRow = 0;
    int32_t FEobStartCol = 0;
    int32_t FEobStartPos = 0;

    uint8_t FVSampling = 1;
    uint8_t FHSampling = 1;

    TJpegHuffmanEncoder *FAcTable = nullptr;
    TJpegHuffmanEncoder *FDcTable = nullptr;
    TJpegEncoderQuantizationTable *FQuantTable = nullptr;
    TJpegOutputStream *FStream = nullptr;
    int32_t FLastDc = 0;

    // Full-resolution samples, row-major, padded to whole MCUs.
    TJpegSampleArray FSamples;
    uint32_t FSampleRows = 0;
    uint32_t FSampleCols = 0;

    // Data units covered when the component is coded in a scan of its own
    // (T.81 A.2.2: no MCU padding beyond the component's own extent).
    uint32_t FScanRows = 0;
    uint32_t FScanCols = 0;

    TJpegCoefficientBlock &Block(uint32_t row, uint32_t col) { return FCoefficients[size_t(row) * FDuCols + col]; }
};
