#pragma once
// The hot loops of the scan coders, compiled once per vector level
// (scankernels_portable.cpp, _avx2.cpp, _avx512.cpp) from one source: the
// coefficient masks, the data units of sequential scans and the AC bands of
// progressive scans. Every level gives the same symbols and bits.

#include "imaging/jpeg/component.h"
#include "imaging/jpeg/eobstate.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/sequentialcoder.h"
#include "imaging/jpeg/simdlevel.h"

#include <cstdint>

class TJpegBitWriter;

// One pass of a progressive AC scan over rows RowBegin .. RowEnd - 1 of a
// component's extent (T.81 G.1.2.2 and G.1.2.3): counting into Counts, or
// writing with Code and Size through Writer. Eob is the end-of-band run
// when the rows begin, and when they end; its pending run is coded only
// after the extent's last row. Record, when set, receives the run as row
// RecordRow begins. RowDone(Context) follows each row of blocks.
struct TAcPass {
    const TJpegEncoderComponent *Component = nullptr;
    bool Refine = false;
    int Ss = 1, Se = 63, Al = 0;
    uint32_t RowBegin = 0, RowEnd = 0;
    TEobState *Eob = nullptr;
    uint32_t RecordRow = 0;
    TEobState *Record = nullptr;
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
