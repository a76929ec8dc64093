#pragma once
// One row of pixels to Y, Cb and Cr samples, with the colour equations of
// colourconvert.h, at the vector level the CPU offers (simdlevel.h).

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/simdlevel.h"

#include <cstdint>

// Fills y, cb and cr with the samples of width pixels.
void ConvertPixelRow(const TPixel *pixels, uint32_t width, uint8_t *y, uint8_t *cb, uint8_t *cr);

// The same at a given level (one the CPU supports), for tests.
void ConvertPixelRowAt(TJpegSimdLevel level, const TPixel *pixels, uint32_t width, uint8_t *y, uint8_t *cb,
                       uint8_t *cr);
