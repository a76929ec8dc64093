#pragma once
// Helpers the JPEG encoder tests share: an in-memory output stream, test
// images, decoding with libjpeg and running the libjpeg-turbo tools.

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/simdlevel.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Collects everything written, through a deliberately small buffer so that
// flushes happen in the middle of segments and entropy-coded data.
class TMemoryOutputStream : public TJpegOutputStream {
public:
    explicit TMemoryOutputStream(size_t bufferSize = 4096);
    void Flush() override;
    // Flushes and returns every byte written so far.
    const std::vector<uint8_t> &Bytes();

    std::vector<uint8_t> FData;
    size_t FFlushes = 0;

private:
    std::vector<uint8_t> FBuffer;
};

// A photo-like picture: smooth gradients, edges, texture and noise, fixed by
// seed; no symmetry, so a swapped channel or a flipped row shows at once.
TBitmapImage MakePhoto(int width, int height, unsigned seed = 1);
TBitmapImage MakeFlat(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

struct DecodedImage {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    std::vector<uint8_t> Samples; // interleaved, Components per pixel
    std::string Error;            // libjpeg's message when decoding failed
    // Every warning counts as a failure, as with djpeg -strict.
    bool Ok() const { return Error.empty(); }
};

// Decodes with libjpeg (integer-exact "islow" IDCT, no fancy upsampling
// differences between calls), treating warnings as errors.
DecodedImage DecodeJpeg(const std::vector<uint8_t> &bytes);
DecodedImage DecodeJpegFile(const std::string &path);

// PSNR over the three colour channels against the source image.
double Psnr(const TBitmapImage &source, const DecodedImage &decoded);
// Largest per-channel difference against the source image.
int MaxDifference(const TBitmapImage &source, const DecodedImage &decoded);

// Runs a shell command, returning its exit status and standard output.
int RunCommand(const std::string &command, std::string *output = nullptr);
std::vector<uint8_t> ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);
// Writes a 24-bit bottom-up BMP of the image, as the card rendering does.
void WriteBmp24(const std::string &path, const TBitmapImage &image);
// A fresh empty folder under the system's temporary folder.
std::string MakeTempDir();

// djpeg -strict and jpeginfo -c both accept the file, and it ends in FF D9.
::testing::AssertionResult AcceptedByLibjpeg(const std::string &path);

// Every kernel level this CPU can run, the portable one first.
std::vector<TJpegSimdLevel> SupportedSimdLevels();

// Runs the encoder's kernels at one level while it lives.
class TScopedSimdLevel {
public:
    explicit TScopedSimdLevel(TJpegSimdLevel level) : FSaved(JpegSimdLevel()) { SetJpegSimdLevel(level); }
    ~TScopedSimdLevel() { SetJpegSimdLevel(FSaved); }
    TScopedSimdLevel(const TScopedSimdLevel &) = delete;
    TScopedSimdLevel &operator=(const TScopedSimdLevel &) = delete;

private:
    TJpegSimdLevel FSaved;
};
