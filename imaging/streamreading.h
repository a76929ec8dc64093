#pragma once
// Small helpers for reading a binary stream that may end at any byte.
// The decoders turn a short read into their own error message, so these
// only report how much arrived.

#include <cstddef>
#include <cstdint>
#include <istream>

// Reads up to count bytes into buffer; returns how many arrived.
inline size_t ReadUpTo(std::istream &stream, void *buffer, size_t count)
{
    if (count == 0)
        return 0;
    stream.read(static_cast<char *>(buffer), std::streamsize(count));
    return size_t(stream.gcount());
}

// Skips up to count bytes, reading them in pieces of at most 512 bytes;
// returns how many were skipped. Stops at the end of the stream.
inline uint64_t SkipUpTo(std::istream &stream, uint64_t count)
{
    char piece[512];
    uint64_t skipped = 0;
    while (skipped < count) {
        const size_t want = size_t(count - skipped < sizeof piece ? count - skipped : sizeof piece);
        const size_t got = ReadUpTo(stream, piece, want);
        skipped += got;
        if (got < want)
            break;
    }
    return skipped;
}

inline uint16_t LittleEndian16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

inline uint32_t LittleEndian32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
