#pragma once
// Exif segments for test files, written with libexif: a JPEG that carries an
// orientation tag, as a camera or a phone writes it.

#include <libexif/exif-byte-order.h>

#include <cstdint>
#include <vector>

// The APP1 segment's contents ("Exif\0\0" and the TIFF structure, without
// marker and length) holding only the Orientation tag.
std::vector<uint8_t> ExifSegment(int orientation, ExifByteOrder order);

// The JPEG with the segment put right after its start-of-image marker.
std::vector<uint8_t> WithSegment(const std::vector<uint8_t> &jpeg, const std::vector<uint8_t> &segment);
