#pragma once
// Where the data-unit coders of progressive scans and the public coding
// procedures hand their symbols: counted into a table, written with a
// table's codes, or passed to any pair of procedures. A sink binds its tables
// once, so that counting and writing compile to a few instructions a symbol.

#include "imaging/jpeg/component.h"
#include "imaging/jpeg/huffman.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"

// Gathers the statistics of a counting pass.
struct TCountingSink {
    // Correction bits (symbol -1) need not be worked out when counting.
    static constexpr bool WritesBits = false;
    uint32_t *DcCounts;
    uint32_t *AcCounts;

    TCountingSink(TJpegHuffmanEncoder &dc, TJpegHuffmanEncoder &ac)
        : DcCounts(dc.FCounts.data()), AcCounts(ac.FCounts.data())
    {
    }
    void Dc(int category, int32_t) { ++DcCounts[category]; }
    // Symbol -1 (correction bits) has no code and is not counted.
    void Ac(int symbol, int32_t, int)
    {
        if (symbol >= 0)
            ++AcCounts[symbol];
    }
};

// Writes codes and extra bits; a code and its extra bits (at most 16 + 16
// bits) go out in one write. The writer's state stays in the writer: these
// sinks serve passes whose symbols are few (DC scans) or far between.
struct TEmittingSink {
    static constexpr bool WritesBits = true;
    const uint16_t *DcCode;
    const uint8_t *DcLength;
    const uint16_t *AcCode;
    const uint8_t *AcLength;
    TJpegBitWriter &Bits;

    TEmittingSink(const TJpegHuffmanEncoder &dc, const TJpegHuffmanEncoder &ac, TJpegBitWriter &bits)
        : DcCode(dc.FCode.data()), DcLength(dc.FCodeLength.data()), AcCode(ac.FCode.data()),
          AcLength(ac.FCodeLength.data()), Bits(bits)
    {
    }
    void Dc(int category, int32_t bits)
    {
        const uint32_t extra = uint32_t(bits) & ((1u << category) - 1u);
        Bits.Put((uint64_t(DcCode[category]) << category) | extra, DcLength[category] + category);
    }
    void Ac(int symbol, int32_t bits, int count)
    {
        const uint32_t extra = uint32_t(bits) & ((1u << count) - 1u);
        if (symbol < 0)
            Bits.Put(extra, count);
        else
            Bits.Put((uint64_t(AcCode[symbol]) << count) | extra, AcLength[symbol] + count);
    }
};

// Any pair of procedures, called through their pointers.
struct TProcedureSink {
    static constexpr bool WritesBits = true;
    TJpegEncoderComponent &Component;
    TDcProcedure DcProcedure;
    TAcProcedure AcProcedure;

    void Dc(int category, int32_t bits) { DcProcedure(Component, category, bits); }
    void Ac(int symbol, int32_t bits, int count) { AcProcedure(Component, symbol, bits, count); }
    // Correction bits go to the AC procedure one at a time, as raw bits.
    void Bits(uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            AcProcedure(Component, -1, int32_t((bits >> i) & 1u), 1);
    }
};
