// Run-length compressed BMP pixel data (compression 1 for 8 bits per pixel,
// 2 for 4 bits). The data is a sequence of two-byte codes (count, value):
//   count 1..255          encoded run: count pixels of one colour (8-bit)
//                         or of two alternating colours (4-bit nibbles)
//   0, 0                  end of line
//   0, 1                  end of bitmap
//   0, 2, dx, dy          delta: move right dx and up dy
//   0, 3..255             absolute run of that many indices, padded to an
//                         even number of bytes
// The first row in the data is the bottom row of the picture. Pixels that
// no code reaches stay black.

#include "imaging/bmpdecoder.h"

#include "imaging/bmpdecodestate.h"
#include "imaging/pages.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <streambuf>

namespace {

const char *const NegativeHeight = "Negative height not allowed in an RLE image";
const char *const PrematureEof = "Premature EOF in RLE-compressed data";
const char *const CorruptData = "Corrupt RLE-compressed Data";

enum class RunCode : uint8_t { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };

// The codes are two bytes each: they are taken from the stream's buffer
// directly, which costs a compare and an increment per byte, rather than
// through a formatted read per code. Nothing past the data is read.
class TCodeBytes {
public:
    explicit TCodeBytes(std::istream &stream) : FBuffer(stream.rdbuf()) {}

    // Both bytes of a code, or false at the end of the data.
    bool Pair(uint8_t &first, uint8_t &second)
    {
        if (!FBuffer)
            return false;
        const auto a = FBuffer->sbumpc();
        if (a == Eof)
            return false;
        const auto b = FBuffer->sbumpc();
        if (b == Eof)
            return false;
        first = uint8_t(a);
        second = uint8_t(b);
        return true;
    }
    // Up to count bytes; how many arrived.
    size_t Read(uint8_t *into, size_t count)
    {
        return FBuffer ? size_t(FBuffer->sgetn(reinterpret_cast<char *>(into), std::streamsize(count))) : 0;
    }

private:
    static constexpr auto Eof = std::char_traits<char>::eof();
    std::streambuf *FBuffer;
};

// The colour table as the three colour bytes of a pixel, alpha clear.
struct TRunColours {
    uint32_t Entry[256];

    explicit TRunColours(const std::array<TBmpColor, 256> &map)
    {
        for (size_t i = 0; i < 256; ++i)
            Entry[i] = uint32_t(map[i].Blue) | uint32_t(map[i].Green) << 8 | uint32_t(map[i].Red) << 16;
    }
};

// A pixel as one little-endian word (blue in the low byte), which may alias
// the pixel's bytes.
using TPixelWord = uint32_t __attribute__((may_alias));
static_assert(sizeof(TPixel) == sizeof(TPixelWord));

// Writing a pixel sets its colour and leaves its alpha as it is.
constexpr uint32_t AlphaBits = 0xFF000000u;

void PutRun(TPixelWord *out, size_t count, uint32_t even, uint32_t odd)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = (out[i] & AlphaBits) | ((i & 1) ? odd : even);
}

} // namespace

void TBmpDecoder::DecodeRle8(DecodeState &state)
{
    DecodeRunLength(state, false);
}

void TBmpDecoder::DecodeRle4(DecodeState &state)
{
    DecodeRunLength(state, true);
}

void TBmpDecoder::DecodeRunLength(DecodeState &state, bool fourBit)
{
    if (state.Height < 0)
        throw EBmpError(NegativeHeight);

    // 64-bit positions: a file full of deltas cannot wrap them.
    const int64_t width = state.Width;
    const int64_t height = state.Height;
    int64_t y = height - 1;
    int64_t x = 0;
    auto *const pixels = reinterpret_cast<TPixelWord *>(state.Image.Pixels.data());
    const TRunColours colours(ColorMap);
    TCodeBytes bytes(state.Stream);

    // The image's pages are asked for a band of rows at a time as runs
    // reach them (the data goes upwards from the bottom row), rather than a
    // page fault per 4 KiB.
    const int64_t band = std::max<int64_t>(1, (int64_t(1) << 18) / std::max<int64_t>(1, width * 4));
    int64_t preparedFirst = height, preparedEnd = height;
    // Where a run of count pixels starts, checked and its pages provided.
    const auto runAt = [&](int64_t count) {
        if (y < 0 || y >= height || x + count > width)
            throw EBmpError(CorruptData);
        if (y < preparedFirst || y >= preparedEnd) {
            preparedFirst = std::max<int64_t>(0, y - band + 1);
            preparedEnd = y + 1;
            PreparePages(pixels + preparedFirst * width, size_t((preparedEnd - preparedFirst) * width) * 4);
        }
        return pixels + y * width + x;
    };

    for (;;) {
        if (ProgressFunction)
            ReportPosition(state, y * width + x);
        uint8_t count, value;
        if (!bytes.Pair(count, value))
            throw EBmpError(PrematureEof);

        if (count > 0) {
            TPixelWord *out = runAt(count);
            if (fourBit)
                PutRun(out, count, colours.Entry[value >> 4], colours.Entry[value & 15]);
            else
                PutRun(out, count, colours.Entry[value], colours.Entry[value]);
            x += count;
            continue;
        }

        switch (RunCode(value)) {
        case RunCode::EndOfLine:
            x = 0;
            if (y != 0)
                --y;
            break;
        case RunCode::EndOfBitmap:
            return;
        case RunCode::Delta: {
            uint8_t dx, dy;
            if (!bytes.Pair(dx, dy))
                throw EBmpError(PrematureEof);
            // Checked only when pixels are written there.
            x += dx;
            y -= dy;
            break;
        }
        default: {
            const unsigned run = value;
            TPixelWord *out = runAt(run);
            // The run's bytes are padded to an even count: 8-bit runs of odd
            // length, 4-bit runs of 1 or 2 pixels mod 4.
            const size_t dataBytes = fourBit ? (run + 1) / 2 : run;
            const size_t padding = fourBit ? ((run % 4 == 1 || run % 4 == 2) ? 1 : 0) : (run & 1);
            uint8_t data[256];
            const size_t got = bytes.Read(data, dataBytes + padding);
            // Pixels whose bytes arrived are written before a short read is reported.
            const size_t available = fourBit ? std::min<size_t>(run, got * 2) : std::min<size_t>(run, got);
            for (size_t i = 0; i < available; ++i) {
                const uint8_t index = fourBit ? ((i & 1) ? data[i / 2] & 15 : data[i / 2] >> 4) : data[i];
                out[i] = (out[i] & AlphaBits) | colours.Entry[index];
            }
            x += int64_t(available);
            if (got < dataBytes + padding)
                throw EBmpError(PrematureEof);
            break;
        }
        }
    }
}
