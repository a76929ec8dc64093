#pragma once
// The memory an encoder keeps from one file to the next (item by item as
// its passes ask for it), so that the next file of a similar size finds it
// ready instead of asking the system for it, and the system for fresh pages,
// again. TJpegEncoder::ReleaseMemory gives it back.

#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/strips.h"
#include "imaging/pages.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct TJpegEncoderMemory {
    // Per thread, the calling one first.
    std::vector<TJpegStripScratch> Scratch;
    // Strips of blocks: one per thread, then the ring of the writing pass.
    std::vector<TJpegStripBlocks> Blocks;
    // Raw bits coded by helpers: the ring of the writing pass, or the rest
    // of a scan.
    std::vector<TJpegRawBits> Raw;
    // The file stream's buffer.
    std::unique_ptr<uint8_t[]> Output;

    TJpegStripScratch &ScratchOf(size_t thread)
    {
        if (Scratch.size() <= thread)
            Scratch.resize(thread + 1);
        return Scratch[thread];
    }
    TJpegStripBlocks &BlocksOf(size_t index)
    {
        if (Blocks.size() <= index)
            Blocks.resize(index + 1);
        return Blocks[index];
    }
    TJpegRawBits &RawOf(size_t index)
    {
        if (Raw.size() <= index)
            Raw.resize(index + 1);
        return Raw[index];
    }
    uint8_t *OutputBuffer()
    {
        if (!Output) {
            Output.reset(new uint8_t[TJpegOutputFileStream::BufferSize]);
            PreparePages(Output.get(), TJpegOutputFileStream::BufferSize);
        }
        return Output.get();
    }
    // Bytes held.
    size_t Bytes() const;
};
