#pragma once
// The Orientation tag of a JPEG file's Exif segment, read with libexif.

#include <cstddef>
#include <cstdint>

// data is the APP1 segment's contents ("Exif\0\0" and the TIFF structure).
// Returns 1 to 8, or 1 when the segment has no usable tag.
int ReadExifOrientation(const uint8_t *data, size_t size);
