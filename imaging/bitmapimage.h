#pragma once
// The codecs' in-memory picture and the coder class family.
//
// A decoder fills a TBitmapImage from a file; an encoder writes one to a file.
// Both report progress through a plain function and stop by raising
// EGraphicsAbort when that function asks them to.

#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Root of every error the codecs raise; carries the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string &message) : std::runtime_error(message) {}
};

// A requested stop: never shown to the user as an error.
class EAbort : public std::runtime_error {
public:
    EAbort() : std::runtime_error("") {}
};

class EGraphicsException : public Exception {
public:
    using Exception::Exception;
};

class EGraphicsAbort : public EAbort {
public:
    EGraphicsAbort() = default;
};

// One pixel in memory order blue, green, red, alpha.
struct TPixel {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Alpha = 0;

    friend bool operator==(const TPixel &, const TPixel &) = default;
};
static_assert(sizeof(TPixel) == 4);

// A block of `bytes` zero bytes, raising std::bad_alloc; freed with the same
// size. A picture-sized block is mapped straight from the system in large
// pages where the system offers them: a photo then costs a few dozen page
// faults instead of tens of thousands.
void *AllocateZeroedBlock(size_t bytes);
void FreeZeroedBlock(void *block, size_t bytes) noexcept;

// Allocates pixels zeroed by the system (calloc), and leaves elements that a
// resize adds as they came. Large blocks then arrive as untouched zero pages:
// sizing an image takes neither time nor memory until its pixels are
// written, so a short file that declares a huge picture costs little.
// Spare capacity is not zeroed: grow a pixel array only through SetSize.
template <class T>
struct TZeroedAllocator {
    using value_type = T;

    TZeroedAllocator() = default;
    template <class U>
    TZeroedAllocator(const TZeroedAllocator<U> &) noexcept {}

    T *allocate(size_t count)
    {
        if (count > SIZE_MAX / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T *>(AllocateZeroedBlock(count * sizeof(T)));
    }
    void deallocate(T *block, size_t count) noexcept { FreeZeroedBlock(block, count * sizeof(T)); }

    template <class U>
    void construct(U *) noexcept {} // fresh blocks are already zero
    template <class U, class... Args>
    void construct(U *at, Args &&...args)
    {
        ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const TZeroedAllocator &, const TZeroedAllocator &) { return true; }
};

using APixel = std::vector<TPixel, TZeroedAllocator<TPixel>>;

// Pixels top row first, rows without padding: (x, y) is element y * Width + x.
class TBitmapImage {
public:
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t PixelCount = 0;
    APixel Pixels;

    // Sets Width, Height and PixelCount (their 32-bit product), then resizes
    // Pixels: old elements keep their indices, added ones are all-zero.
    // A negative product raises std::range_error, an allocation failure
    // std::bad_alloc; the size fields then already hold the new values.
    void SetSize(int32_t width, int32_t height);

    TPixel &At(int32_t x, int32_t y) { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    const TPixel &At(int32_t x, int32_t y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

class TBitmapImageCoder;

// Called while a coder works. Setting abort to true stops the coder, which
// then raises EGraphicsAbort.
using TProgressFunction = void (*)(TBitmapImageCoder &coder, uint32_t data,
                                   uint32_t currentPass, uint32_t passCount,
                                   const std::string &description,
                                   uint32_t percentDone, bool &abort);

class TBitmapImageCoder {
public:
    TProgressFunction ProgressFunction = nullptr;
    uint32_t ProgressData = 0;

    TBitmapImageCoder() = default;
    virtual ~TBitmapImageCoder();
    TBitmapImageCoder(const TBitmapImageCoder &) = delete;
    TBitmapImageCoder &operator=(const TBitmapImageCoder &) = delete;

protected:
    // One progress report; raises EGraphicsAbort when the function asks to stop.
    void ReportProgress(uint32_t currentPass, uint32_t passCount,
                        const std::string &description, uint32_t percentDone);
};

class TBitmapImageDecoder : public TBitmapImageCoder {
public:
    // Opens the file, decodes it into image and closes the file on every path.
    virtual void ReadImageFile(const std::string &fileName, TBitmapImage &image) = 0;
};

class TBitmapImageEncoder : public TBitmapImageCoder {
public:
    // Creates the file and writes image into it.
    virtual void WriteImageFile(const std::string &fileName, const TBitmapImage &image) = 0;
};
