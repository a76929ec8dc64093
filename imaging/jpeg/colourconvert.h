#pragma once
// Colour conversion, sampling and the coefficient blocks of each component.

#include <cstdint>

class TBitmapImage;
class TJpegEncoder;
class TJpegEncoderComponent;

// The JFIF equations, evaluated as 80-bit extended values and rounded to the
// nearest integer, halves to even, then clamped to 0..255.
uint8_t ComputeY(uint8_t red, uint8_t green, uint8_t blue);
uint8_t ComputeCb(uint8_t red, uint8_t green, uint8_t blue);
uint8_t ComputeCr(uint8_t red, uint8_t green, uint8_t blue);

// The same equations evaluated literally in long double; the reference the
// fast versions above agree with for every colour.
uint8_t ComputeYPrecise(uint8_t red, uint8_t green, uint8_t blue);
uint8_t ComputeCbPrecise(uint8_t red, uint8_t green, uint8_t blue);
uint8_t ComputeCrPrecise(uint8_t red, uint8_t green, uint8_t blue);

// Sizes the sample array (padded to whole MCUs of hFactor x vFactor) and the
// component's extent in a scan of its own.
void PrepareSamples(TJpegEncoderComponent &component, uint32_t width, uint32_t height,
                    uint32_t hFactor, uint32_t vFactor);

// Fills the Y, Cb and Cr sample arrays, replicating the right and bottom edges.
void ConvertColour(TJpegEncoder &encoder, const TBitmapImage &image, uint32_t maxH, uint32_t maxV,
                   TJpegEncoderComponent &y, TJpegEncoderComponent &cb, TJpegEncoderComponent &cr);

// Turns a component's samples into quantized coefficient blocks, averaging
// (truncated) over the samples a subsampled component covers.
void BuildBlocks(TJpegEncoderComponent &component, TJpegEncoder &encoder, uint32_t maxH, uint32_t maxV);

// Turns the image straight into Y blocks, padding with mid-grey.
void ConvertGray(TJpegEncoder &encoder, const TBitmapImage &image, TJpegEncoderComponent &y);

void ReleaseBuffers(TJpegEncoderComponent &component);
