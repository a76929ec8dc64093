#pragma once
// The forward DCT and quantization of one 8x8 block.

#include <cstdint>

class TJpegEncoderQuantizationTable;

// samples: 64 bytes, row-major; out: the quantized coefficients in natural
// order. Every intermediate is a double, rounded as it is formed.
void TransformBlock(const uint8_t *samples, const TJpegEncoderQuantizationTable &table, int16_t *out);
