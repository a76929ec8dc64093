#include "imaging/jpeg/outputstream.h"

#include "imaging/jpeg/jpegerror.h"

#include <cstring>

// ---- TOutputByteStream ----

void TOutputByteStream::PutBytes(const void *data, size_t count)
{
    const auto *source = static_cast<const uint8_t *>(data);
    while (count > 0) {
        const size_t room = size_t(FLimit - FCurrent);
        const size_t chunk = count < room ? count : room;
        std::memcpy(FCurrent, source, chunk);
        FCurrent += chunk;
        source += chunk;
        count -= chunk;
        if (FCurrent == FLimit)
            Flush();
    }
}

void TOutputByteStream::PutByte(uint8_t value)
{
    if (FCurrent >= FLimit)
        Flush();
    *FCurrent++ = value;
}

void TOutputByteStream::PutWord(uint16_t value)
{
    if (FCurrent + 2 >= FLimit)
        Flush();
    *FCurrent++ = uint8_t(value >> 8);
    *FCurrent++ = uint8_t(value);
    if (FCurrent >= FLimit)
        Flush();
}

void TOutputByteStream::BeginBits(int position)
{
    if (FCurrent >= FLimit)
        Flush();
    FBitPosition = position;
    *FCurrent = 0;
}

void TOutputByteStream::AdvanceByte()
{
    ++FCurrent;
    if (FCurrent >= FLimit)
        Flush();
    *FCurrent = 0;
}

// ---- TJpegOutputStream ----

void TJpegOutputStream::BeginBits(int position)
{
    TOutputByteStream::BeginBits(position);
    FBits = TBitState{};
}

TJpegOutputStream::TBitState TJpegOutputStream::MoveBytes(TBitState state)
{
    // Four bytes at once while none of them is 0xFF and the buffer has room.
    while (state.Accumulated >= 32 && FLimit - FCurrent > 8) {
        const uint32_t word = uint32_t(state.Accumulator >> (state.Accumulated - 32));
        const uint32_t inverted = ~word; // a 0xFF byte becomes a zero byte
        if (((inverted - 0x01010101u) & ~inverted & 0x80808080u) != 0)
            break;
        FCurrent[0] = uint8_t(word >> 24);
        FCurrent[1] = uint8_t(word >> 16);
        FCurrent[2] = uint8_t(word >> 8);
        FCurrent[3] = uint8_t(word);
        FCurrent += 4;
        state.Accumulated -= 32;
    }
    while (state.Accumulated >= 8) {
        state.Accumulated -= 8;
        const uint8_t byte = uint8_t(state.Accumulator >> state.Accumulated);
        if (FLimit - FCurrent > 2) {
            *FCurrent++ = byte;
            if (byte == 0xFF)
                *FCurrent++ = 0x00; // the stuffed byte (T.81 B.1.1.5)
        } else {
            *FCurrent = byte;
            if (byte == 0xFF)
                AdvanceByte();
            AdvanceByte();
        }
    }
    return state;
}

void TJpegOutputStream::EndBits()
{
    FBits = MoveBytes(FBits);
    if (FBits.Accumulated > 0) {
        // Padding bits are 0, so this byte is never 0xFF.
        *FCurrent = uint8_t(FBits.Accumulator << (8 - FBits.Accumulated));
        AdvanceByte();
    }
    FBits = TBitState{};
    FBitPosition = -1;
}

// ---- TJpegOutputFileStream ----

TJpegOutputFileStream::TJpegOutputFileStream() : FBuffer(new uint8_t[BufferSize]) {}

TJpegOutputFileStream::~TJpegOutputFileStream() = default;

void TJpegOutputFileStream::Open(const std::string &fileName, TSpecialTarget special)
{
    FFile = std::make_unique<TAtomicFile>(fileName, special);
    FCurrent = FBuffer.get();
    FLimit = FBuffer.get() + BufferSize;
}

void TJpegOutputFileStream::Flush()
{
    const uint8_t *start = FBuffer.get();
    const size_t count = size_t(FCurrent - start);
    // The buffer is reset first: a failed flush must not be retried by the
    // clean-up path with the same bytes.
    FCurrent = FBuffer.get();
    FLimit = FBuffer.get() + BufferSize;
    if (FFile == nullptr)
        return;
    try {
        FFile->Write(start, count);
    } catch (...) {
        FFile.reset();
        throw;
    }
}

void TJpegOutputFileStream::Close()
{
    if (FFile == nullptr)
        return;
    Flush();
    // Commit removes the temporary file itself when it fails.
    const std::unique_ptr<TAtomicFile> file = std::move(FFile);
    file->Commit();
}
