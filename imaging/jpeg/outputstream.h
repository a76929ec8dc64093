#pragma once
// The buffered output stream every byte of a JPEG file passes through.
//
// Whole bytes and big-endian words serve the marker segments; the bit writer
// serves the entropy-coded data and inserts the 0x00 byte that ITU-T T.81
// (B.1.1.5) requires after every 0xFF data byte.

#include "imaging/atomicfile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TOutputByteStream {
public:
    TOutputByteStream() = default;
    virtual ~TOutputByteStream() = default;
    TOutputByteStream(const TOutputByteStream &) = delete;
    TOutputByteStream &operator=(const TOutputByteStream &) = delete;

    // Appends count bytes, flushing whenever the buffer fills.
    void PutBytes(const void *data, size_t count);
    void PutByte(uint8_t value);
    // Big-endian; a word is never split across a flush.
    void PutWord(uint16_t value);
    // Enters bit mode with position free bits in a fresh zero byte.
    void BeginBits(int position);
    // Keeps the byte at FCurrent and starts a fresh zero byte after it.
    void AdvanceByte();

    virtual void Flush() = 0;

protected:
    uint8_t *FCurrent = nullptr;
    uint8_t *FLimit = nullptr;
    int32_t FBitPosition = -1;
};

// Bits are gathered in a register and moved into the buffer a few whole
// bytes at a time; the bytes are those of a writer that fills the buffer
// bit by bit.
class TJpegOutputStream : public TOutputByteStream {
public:
    // The bits gathered but not yet in the buffer. A hot loop may hold them
    // in a local TBitState (TakeBits, PutBits on it, ReturnBits) so that they
    // stay in registers.
    struct TBitState {
        uint64_t Accumulator = 0;
        int Accumulated = 0;
    };

    // Enters bit mode (position: always 8, a fresh byte).
    void BeginBits(int position);
    // Writes the low count (0..31) bits of bits, most significant first.
    void PutBits(uint32_t bits, int count) { PutBits(FBits, bits, count); }
    void PutBits(TBitState &state, uint32_t bits, int count)
    {
        state.Accumulator = (state.Accumulator << count) | (bits & ((1u << count) - 1u));
        state.Accumulated += count;
        if (state.Accumulated >= 32)
            state = MoveBytes(state);
    }
    // As PutBits, for bits that have no bit set above the low count.
    static void PutFittingBits(TBitState &state, uint32_t bits, int count, TJpegOutputStream &stream)
    {
        state.Accumulator = (state.Accumulator << count) | bits;
        state.Accumulated += count;
        if (state.Accumulated >= 32)
            state = stream.MoveBytes(state);
    }
    TBitState TakeBits() const { return FBits; }
    void ReturnBits(const TBitState &state) { FBits = state; }
    // Leaves bit mode; a partly filled byte is kept with zero padding.
    void EndBits();

private:
    // Moves the whole bytes gathered so far into the buffer. The state goes
    // in and out by value so that a caller's copy can live in registers.
    TBitState MoveBytes(TBitState state);

    TBitState FBits;
};

// Writes through the atomic writer: only a Close that succeeds replaces the
// target, so an interrupted or failed encoding never leaves a truncated
// picture in place of a good one.
class TJpegOutputFileStream : public TJpegOutputStream {
public:
    static constexpr size_t BufferSize = 0x40000;

    TJpegOutputFileStream();
    // Without a successful Close (an error or a cancel interrupted the
    // encoding) the temporary file is removed and the target stays as it
    // was. Never throws.
    ~TJpegOutputFileStream() override;

    // Starts the file; raises EFCreateError
    // "Cannot create file "<path>". <reason>" when it cannot.
    void Open(const std::string &fileName, TSpecialTarget special = TSpecialTarget::Refuse);
    // Writes the buffered bytes; raises EWriteError when the system writes
    // fewer than asked (disk full, quota).
    void Flush() override;
    // Flushes, syncs and closes the file and renames it over the target,
    // raising EWriteError when any step fails. A second Close does nothing.
    void Close();

private:
    std::unique_ptr<TAtomicFile> FFile;
    std::unique_ptr<uint8_t[]> FBuffer;
};
