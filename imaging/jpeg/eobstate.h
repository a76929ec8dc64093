#pragma once
// The end-of-band run a progressive AC pass carries from block to block.

#include "imaging/jpeg/component.h"

#include <cstdint>

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
