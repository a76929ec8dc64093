#pragma once
// The symbol procedures bound to one component, for the hot loops: a sink
// holds the arrays of the component's tables (or its output stream) so that
// counting and emitting compile to a few instructions per symbol. The
// procedures CountDcSymbol, EmitAcSymbol and the others are these same sinks.

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

    explicit TCountingSink(TJpegEncoderComponent &component)
        : DcCounts(component.FDcTable->FCounts.data()), AcCounts(component.FAcTable->FCounts.data())
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

// Writes codes and extra bits; a code and its extra bits (at most 16 + 11
// bits) go out in one write. The gathered bits stay in the sink while it
// lives and go back to the stream when it ends.
struct TEmittingSink {
    static constexpr bool WritesBits = true;
    const uint16_t *DcCode;
    const uint8_t *DcLength;
    const uint16_t *AcCode;
    const uint8_t *AcLength;
    TJpegOutputStream *Stream;
    TJpegOutputStream::TBitState Bits;

    explicit TEmittingSink(TJpegEncoderComponent &component)
        : DcCode(component.FDcTable->FCode.data()), DcLength(component.FDcTable->FCodeLength.data()),
          AcCode(component.FAcTable->FCode.data()), AcLength(component.FAcTable->FCodeLength.data()),
          Stream(component.FStream), Bits(Stream->TakeBits())
    {
    }
    ~TEmittingSink() { Stream->ReturnBits(Bits); }
    TEmittingSink(const TEmittingSink &) = delete;
    TEmittingSink &operator=(const TEmittingSink &) = delete;

    void Dc(int category, int32_t bits)
    {
        const uint32_t extra = uint32_t(bits) & ((1u << category) - 1u);
        TJpegOutputStream::PutFittingBits(Bits, uint32_t(DcCode[category]) << category | extra,
                                          DcLength[category] + category, *Stream);
    }
    void Ac(int symbol, int32_t bits, int count)
    {
        const uint32_t extra = uint32_t(bits) & ((1u << count) - 1u);
        if (symbol < 0)
            TJpegOutputStream::PutFittingBits(Bits, extra, count, *Stream);
        else
            TJpegOutputStream::PutFittingBits(Bits, uint32_t(AcCode[symbol]) << count | extra,
                                              AcLength[symbol] + count, *Stream);
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
};

// Calls body with the fastest sink that does what dc and ac do.
template <class Body>
inline void WithSink(TJpegEncoderComponent &component, TDcProcedure dc, TAcProcedure ac, Body body)
{
    const bool anyProcedure = dc != nullptr || ac != nullptr;
    if (anyProcedure && (dc == EmitDcSymbol || dc == nullptr) && (ac == EmitAcSymbol || ac == nullptr)) {
        TEmittingSink sink(component);
        body(sink);
    } else if (anyProcedure && (dc == CountDcSymbol || dc == nullptr) && (ac == CountAcSymbol || ac == nullptr)) {
        TCountingSink sink(component);
        body(sink);
    } else {
        TProcedureSink sink{component, dc, ac};
        body(sink);
    }
}
