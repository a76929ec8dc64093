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
#include "imaging/streamreading.h"

#include <algorithm>

namespace {

const char *const NegativeHeight = "Negative height not allowed in an RLE image";
const char *const PrematureEof = "Premature EOF in RLE-compressed data";
const char *const CorruptData = "Corrupt RLE-compressed Data";

enum class RunCode : uint8_t { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };

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
    TPixel *const pixels = state.Image.Pixels.data();

    const auto checkRun = [&](int64_t count) {
        if (y < 0 || y >= height || x + count > width)
            throw EBmpError(CorruptData);
    };
    // Alpha is left as it is (0 after sizing).
    const auto put = [&](uint8_t index) {
        TPixel &p = pixels[y * width + x];
        const TBmpColor &c = ColorMap[index];
        p.Blue = c.Blue;
        p.Green = c.Green;
        p.Red = c.Red;
        ++x;
    };

    for (;;) {
        ReportPosition(state, y * width + x);
        uint8_t code[2];
        if (ReadUpTo(state.Stream, code, 2) < 2)
            throw EBmpError(PrematureEof);
        const unsigned count = code[0];
        const uint8_t value = code[1];

        if (count > 0) {
            checkRun(count);
            if (fourBit) {
                const uint8_t indices[2] = {uint8_t(value >> 4), uint8_t(value & 15)};
                for (unsigned i = 0; i < count; ++i)
                    put(indices[i & 1]);
            } else {
                for (unsigned i = 0; i < count; ++i)
                    put(value);
            }
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
            uint8_t delta[2];
            if (ReadUpTo(state.Stream, delta, 2) < 2)
                throw EBmpError(PrematureEof);
            // Checked only when pixels are written there.
            x += delta[0];
            y -= delta[1];
            break;
        }
        default: {
            const unsigned run = value;
            checkRun(run);
            // The run's bytes are padded to an even count: 8-bit runs of odd
            // length, 4-bit runs of 1 or 2 pixels mod 4.
            const size_t dataBytes = fourBit ? (run + 1) / 2 : run;
            const size_t padding = fourBit ? ((run % 4 == 1 || run % 4 == 2) ? 1 : 0) : (run & 1);
            uint8_t data[256];
            const size_t got = ReadUpTo(state.Stream, data, dataBytes + padding);
            // Pixels whose bytes arrived are written before a short read is reported.
            const size_t available = fourBit ? std::min<size_t>(run, got * 2)
                                             : std::min<size_t>(run, got);
            for (size_t i = 0; i < available; ++i)
                put(fourBit ? ((i & 1) ? data[i / 2] & 15 : data[i / 2] >> 4) : data[i]);
            if (got < dataBytes + padding)
                throw EBmpError(PrematureEof);
            break;
        }
        }
    }
}
