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
#include <vector>

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
    // Enters bit mode with position free bits in a fresh byte.
    void BeginBits(int position);

    virtual void Flush() = 0;

protected:
    uint8_t *FCurrent = nullptr;
    uint8_t *FLimit = nullptr;
    int32_t FBitPosition = -1;
};

class TJpegBitWriter;

// The bit writer of the entropy-coded data. Bits are gathered in a 64-bit
// register and moved into the buffer eight bytes at a time; the bytes are
// those of a writer that fills the buffer bit by bit.
class TJpegOutputStream : public TOutputByteStream {
public:
    // The bits gathered but not yet in the buffer: the low 64 - Free bits of
    // Buffer, oldest first (bits above them are stale and never written).
    struct TBitState {
        uint64_t Buffer = 0;
        int Free = 64;
    };

    // Enters bit mode (position: always 8, a fresh byte).
    void BeginBits(int position);
    // Writes the low count (0..32) bits of bits, most significant first.
    void PutBits(uint32_t bits, int count);
    // Leaves bit mode; a partly filled byte is kept with zero padding.
    void EndBits();

private:
    friend class TJpegBitWriter;
    TBitState FBits;
};

// Entropy-coded bits written apart from the file, on another thread, to be
// appended to it in their turn (TJpegBitWriter::Append): a strip, or the
// second part of a scan. The bits are not yet stuffed, and a restart marker
// is only noted where it falls, since its padding depends on the bits that
// come before it in the file.
struct TJpegRawBits {
    struct TMarker {
        uint64_t Bit; // the marker follows this many bits
        uint8_t Code; // 0xD0..0xD7
    };
    // The bits, most significant first; 8 spare bytes follow them.
    std::vector<uint8_t> Bytes;
    uint64_t Bits = 0;
    std::vector<TMarker> Markers;

    void Clear()
    {
        Bits = 0;
        Markers.clear();
    }
};

// Writes bits straight into a stream's buffer, or into raw bits, holding the
// bit state while it lives. While a writer lives nothing else may write into
// its stream.
class TJpegBitWriter {
public:
    // The writer's registers: the bits gathered (the low 64 - Free bits of
    // Buffer) and where the next byte goes. A hot loop keeps a copy in local
    // variables (Take), puts bits into it and hands it back (Give).
    struct TState {
        uint64_t Buffer;
        int Free;
        uint8_t *Out;
        uint8_t *Limit;
    };

    explicit TJpegBitWriter(TJpegOutputStream &stream)
        : FStream(&stream), FState{stream.FBits.Buffer, stream.FBits.Free, stream.FCurrent, stream.FLimit}
    {
    }
    // Writes into raw, from its start.
    explicit TJpegBitWriter(TJpegRawBits &raw);
    ~TJpegBitWriter() { Release(); }
    TJpegBitWriter(const TJpegBitWriter &) = delete;
    TJpegBitWriter &operator=(const TJpegBitWriter &) = delete;

    TState Take() const { return FState; }
    void Give(const TState &state) { FState = state; }

    // Appends the low count (0..32) bits of bits; no bit above them may be set.
    [[gnu::always_inline]] void Put(uint64_t bits, int count) { Put(FState, bits, count); }
    [[gnu::always_inline]] void Put(TState &state, uint64_t bits, int count)
    {
        state.Free -= count;
        if (state.Free >= 0) [[likely]] {
            state.Buffer = (state.Buffer << count) | bits;
            return;
        }
        state = Spill(state, bits, count);
    }

    // Ends the entropy-coded segment, writes the restart marker and starts
    // the next segment (T.81 B.2.1); raw bits only note where it falls.
    void Restart(uint8_t marker);

    // Appends raw bits written elsewhere, restart markers included.
    void Append(const TJpegRawBits &raw);

    // Hands the bit state and the buffer position back to the stream; for
    // raw bits, makes them complete, after which nothing more may be put.
    void Release();

private:
    // The 64 oldest bits are complete: moves them into the buffer. The
    // state goes in and out by value, so that a caller's copy can live in
    // registers.
    [[gnu::noinline]] TState Spill(TState state, uint64_t bits, int count);
    void MoveWord(TState &state, uint64_t word);
    void MoveByte(TState &state, uint8_t byte);
    void GrowRaw(TState &state);
    void AppendBits(const TJpegRawBits &raw, uint64_t from, uint64_t to);

    TJpegOutputStream *FStream = nullptr;
    TJpegRawBits *FRaw = nullptr;
    bool FFinished = false;
    TState FState;
};

// Writes through the atomic writer: only a Close that succeeds replaces the
// target, so an interrupted or failed encoding never leaves a truncated
// picture in place of a good one.
class TJpegOutputFileStream : public TJpegOutputStream {
public:
    static constexpr size_t BufferSize = 0x40000;

    TJpegOutputFileStream();
    // With a buffer of BufferSize bytes that the caller keeps and lends.
    explicit TJpegOutputFileStream(uint8_t *buffer);
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
    std::unique_ptr<uint8_t[]> FOwnBuffer;
    uint8_t *FBuffer;
};
