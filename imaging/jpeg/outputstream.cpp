#include "imaging/jpeg/outputstream.h"

#include "imaging/jpeg/jpegerror.h"
#include "imaging/pages.h"

#include <algorithm>
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
}

// ---- TJpegOutputStream ----

void TJpegOutputStream::BeginBits(int position)
{
    TOutputByteStream::BeginBits(position);
    FBits = TBitState{};
}

void TJpegOutputStream::PutBits(uint32_t bits, int count)
{
    TJpegBitWriter writer(*this);
    writer.Put(count >= 32 ? bits : bits & ((1u << count) - 1u), count);
}

void TJpegOutputStream::EndBits()
{
    const int gathered = 64 - FBits.Free;
    if (gathered > 0) {
        // The gathered bits at the top, zero padding below them.
        uint64_t bits = FBits.Buffer << FBits.Free;
        for (int left = gathered; left > 0; left -= 8, bits <<= 8) {
            const uint8_t byte = uint8_t(bits >> 56);
            PutByte(byte);
            if (byte == 0xFF) // a padded byte is never 0xFF: it ends in a 0 bit
                PutByte(0x00);
        }
    }
    FBits = TBitState{};
    FBitPosition = -1;
}

// ---- TJpegBitWriter ----

TJpegBitWriter::TJpegBitWriter(TJpegRawBits &raw) : FRaw(&raw), FState{0, 64, nullptr, nullptr}
{
    raw.Clear();
    if (raw.Bytes.size() < 4096)
        ResizePrepared(raw.Bytes, 4096);
    FState.Out = raw.Bytes.data();
    FState.Limit = raw.Bytes.data() + raw.Bytes.size();
}

TJpegBitWriter::TState TJpegBitWriter::Spill(TState state, uint64_t bits, int count)
{
    // Free is now minus the number of bits that do not fit.
    const int over = -state.Free;
    MoveWord(state, (state.Buffer << (count - over)) | (bits >> over));
    state.Buffer = bits;
    state.Free += 64;
    return state;
}

void TJpegBitWriter::MoveWord(TState &state, uint64_t word)
{
    if (state.Limit - state.Out >= 16) [[likely]] {
        const uint64_t inverted = ~word; // a 0xFF byte becomes a zero byte
        if (FRaw || ((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) == 0) {
            const uint64_t bigEndian = __builtin_bswap64(word);
            std::memcpy(state.Out, &bigEndian, 8);
            state.Out += 8;
            return;
        }
        for (int shift = 56; shift >= 0; shift -= 8) {
            const uint8_t byte = uint8_t(word >> shift);
            *state.Out++ = byte;
            if (byte == 0xFF)
                *state.Out++ = 0x00; // the stuffed byte (T.81 B.1.1.5)
        }
        return;
    }
    if (FRaw) {
        GrowRaw(state);
        MoveWord(state, word);
        return;
    }
    for (int shift = 56; shift >= 0; shift -= 8) {
        const uint8_t byte = uint8_t(word >> shift);
        MoveByte(state, byte);
        if (byte == 0xFF)
            MoveByte(state, 0x00);
    }
}

void TJpegBitWriter::GrowRaw(TState &state)
{
    const size_t used = size_t(state.Out - FRaw->Bytes.data());
    ResizePrepared(FRaw->Bytes, 2 * FRaw->Bytes.size());
    state.Out = FRaw->Bytes.data() + used;
    state.Limit = FRaw->Bytes.data() + FRaw->Bytes.size();
}

// Near the end of the buffer: one byte at a time, flushing when it is full.
void TJpegBitWriter::MoveByte(TState &state, uint8_t byte)
{
    FStream->FCurrent = state.Out;
    FStream->PutByte(byte);
    state.Out = FStream->FCurrent;
    state.Limit = FStream->FLimit;
}

void TJpegBitWriter::Restart(uint8_t marker)
{
    if (FRaw) {
        const uint64_t bit = uint64_t(FState.Out - FRaw->Bytes.data()) * 8 + uint64_t(64 - FState.Free);
        FRaw->Markers.push_back({bit, marker});
        return;
    }
    Release();
    FStream->EndBits();
    FStream->PutByte(0xFF);
    FStream->PutByte(marker);
    FStream->BeginBits(8);
    FState = {FStream->FBits.Buffer, FStream->FBits.Free, FStream->FCurrent, FStream->FLimit};
}

void TJpegBitWriter::Release()
{
    if (FStream) {
        FStream->FBits = {FState.Buffer, FState.Free};
        FStream->FCurrent = FState.Out;
        return;
    }
    if (FFinished)
        return;
    FFinished = true;
    // The gathered bits go out whole, the last byte padded with zeros; the
    // count of bits says where they end. 8 spare bytes stay behind them.
    const int gathered = 64 - FState.Free;
    FRaw->Bits = uint64_t(FState.Out - FRaw->Bytes.data()) * 8 + uint64_t(gathered);
    if (FState.Limit - FState.Out < 16)
        GrowRaw(FState);
    const uint64_t left = gathered > 0 ? FState.Buffer << FState.Free : 0;
    const uint64_t bigEndian = __builtin_bswap64(left);
    std::memcpy(FState.Out, &bigEndian, 8);
    std::memset(FState.Out + 8, 0, 8);
}

void TJpegBitWriter::Append(const TJpegRawBits &raw)
{
    uint64_t from = 0;
    for (const TJpegRawBits::TMarker &marker : raw.Markers) {
        AppendBits(raw, from, marker.Bit);
        Restart(marker.Code);
        from = marker.Bit;
    }
    AppendBits(raw, from, raw.Bits);
}

// Bits from .. to - 1 of raw, 32 at a time, with the state in registers.
void TJpegBitWriter::AppendBits(const TJpegRawBits &raw, uint64_t from, uint64_t to)
{
    const uint8_t *bytes = raw.Bytes.data();
    TState state = FState;
    uint64_t bit = from;
    for (; bit + 32 <= to; bit += 32) {
        uint64_t word;
        std::memcpy(&word, bytes + bit / 8, 8);
        Put(state, (__builtin_bswap64(word) << (bit % 8)) >> 32, 32);
    }
    if (bit < to) {
        uint64_t word;
        std::memcpy(&word, bytes + bit / 8, 8);
        const int count = int(to - bit);
        Put(state, (__builtin_bswap64(word) << (bit % 8)) >> (64 - count), count);
    }
    FState = state;
}

// ---- TJpegOutputFileStream ----

TJpegOutputFileStream::TJpegOutputFileStream() : FOwnBuffer(new uint8_t[BufferSize]), FBuffer(FOwnBuffer.get()) {}

TJpegOutputFileStream::TJpegOutputFileStream(uint8_t *buffer) : FBuffer(buffer) {}

TJpegOutputFileStream::~TJpegOutputFileStream() = default;

void TJpegOutputFileStream::Open(const std::string &fileName, TSpecialTarget special)
{
    FFile = std::make_unique<TAtomicFile>(fileName, special);
    FCurrent = FBuffer;
    FLimit = FBuffer + BufferSize;
}

void TJpegOutputFileStream::Flush()
{
    const uint8_t *start = FBuffer;
    const size_t count = size_t(FCurrent - start);
    // The buffer is reset first: a failed flush must not be retried by the
    // clean-up path with the same bytes.
    FCurrent = FBuffer;
    FLimit = FBuffer + BufferSize;
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
