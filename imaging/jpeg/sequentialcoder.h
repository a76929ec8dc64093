#pragma once
// The data units of sequential scans (ITU-T T.81 F.1.2): the DC difference,
// then runs of zeros and the non-zero AC coefficients in zigzag order,
// counted for a scan's Huffman tables or written with them. The tables are
// bound once for a span of MCUs and the bits stay in registers across it.

#include "imaging/jpeg/component.h"

#include <array>
#include <cstddef>
#include <cstdint>

class TJpegBitWriter;

// One component of the scan.
struct TSequentialPart {
    const TJpegCoefficientBlock *First; // top-left data unit of the span's first MCU
    size_t RowStride;                   // data units from one block row to the next
    uint32_t H = 1, V = 1;              // data units per MCU across and down
    int32_t *LastDc;                    // the DC prediction
    // Counting: symbol counts of the DC and AC tables.
    uint32_t *DcCounts = nullptr;
    uint32_t *AcCounts = nullptr;
    // Writing: codes and their lengths.
    const uint16_t *DcCode = nullptr;
    const uint8_t *DcSize = nullptr;
    const uint16_t *AcCode = nullptr;
    const uint8_t *AcSize = nullptr;
};

// Units MCUs in a row, with no restart marker among them; a scan of one
// component has one part whose MCU is one data unit.
struct TSequentialSpan {
    uint32_t Units = 0;
    int PartCount = 0;
    std::array<TSequentialPart, 3> Parts{};
};

// The coders themselves are among the scan kernels (scankernels.h).
