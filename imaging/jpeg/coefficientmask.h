#pragma once
// Which coefficients of a block are not zero, in zigzag order: the scan
// coders skip the zeros through this mask instead of testing all 64.

#include "imaging/jpeg/component.h"

#include <cstdint>

// Bit k is set when the coefficient at zigzag position k is not zero.
uint64_t ZigzagNonzeroMask(const TJpegCoefficientBlock &block);
