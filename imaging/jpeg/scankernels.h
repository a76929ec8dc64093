#pragma once
// The hot loops of the scan coders, compiled once per vector level
// (scankernels_portable.cpp, _avx2.cpp, _avx512.cpp) from one source: the
// coefficient masks, the data units of sequential scans and the AC bands of
// progressive scans. Every level gives the same symbols and bits.

#include "imaging/jpeg/component.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/sequentialcoder.h"
#include "imaging/jpeg/simdlevel.h"

#include <cstdint>

class TJpegBitWriter;

// A run of blocks whose band ends with zeros, waiting to be coded as one
// end-of-band (T.81 G.1.2.2); for refinement scans, also where the run began
// and the first position whose correction bit its first block still owes.
struct TEobState {
    int32_t Run = 0;
    int32_t StartRow = 0;
    int32_t StartCol = 0;
    int32_t StartPos = 64;
    // No run waits: the start is one past the component's last block.
    void Clear(const TJpegEncoderComponent &component);
};

// One pass of a progressive AC scan over a component's extent (T.81 G.1.2.2
// and G.1.2.3): counting into Counts, or writing with Code and Size through
// Writer. RowDone(Context) follows each row of blocks.
struct TAcPass {
    const TJpegEncoderComponent *Component = nullptr;
    bool Refine = false;
    int Ss = 1, Se = 63, Al = 0;
    uint32_t *Counts = nullptr;
    const uint16_t *Code = nullptr;
    const uint8_t *Size = nullptr;
    TJpegBitWriter *Writer = nullptr;
    void (*RowDone)(void *context) = nullptr;
    void *Context = nullptr;
};

struct TJpegScanKernels {
    // Bit k set where the coefficient at zigzag position k has |value| >=
    // threshold; the two-threshold form serves refinement scans.
    uint64_t (*MagnitudeMask)(const TJpegCoefficientBlock &block, uint32_t threshold);
    void (*MagnitudeMasks)(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                           uint64_t &highMask);
    void (*CountSequential)(const TSequentialSpan &span);
    void (*EmitSequential)(const TSequentialSpan &span, TJpegBitWriter &writer);
    void (*CountAc)(const TAcPass &pass);
    void (*EmitAc)(const TAcPass &pass);
};

// The kernels of a level the CPU supports, and of the level in use.
const TJpegScanKernels &ScanKernels(TJpegSimdLevel level);
const TJpegScanKernels &ScanKernels();

// The progressive coders one block at a time through any procedure, with the
// end-of-band state given (the encoder's public data-unit coders).
void AcFirstBlockThrough(TJpegEncoderComponent &component, TEobState &eob, uint32_t row, uint32_t col,
                         TAcProcedure ac, int ss, int se, int al);
void AcRefineBlockThrough(TJpegEncoderComponent &component, TEobState &eob, uint32_t row, uint32_t col,
                          TAcProcedure ac, int ss, int se, int al);
void EobRunThrough(TJpegEncoderComponent &component, TEobState &eob, TAcProcedure ac);
void RefineEobRunThrough(TJpegEncoderComponent &component, TEobState &eob, TAcProcedure ac, int ss, int se, int al);
