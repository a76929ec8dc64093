#pragma once
// The forward DCT and quantization of one 8x8 block.

#include <cstddef>
#include <cstdint>

class TJpegEncoderQuantizationTable;

// samples: 64 bytes, row-major; out: the quantized coefficients in natural
// order. Every intermediate is a double, rounded as it is formed.
void TransformBlock(const uint8_t *samples, const TJpegEncoderQuantizationTable &table, int16_t *out);
// The same for a block whose rows lie stride bytes apart, from its top-left sample.
void TransformBlockRows(const uint8_t *topLeft, size_t stride, const TJpegEncoderQuantizationTable &table,
                        int16_t *out);
