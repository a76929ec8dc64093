#pragma once
// What tessaly-picture-reader and the program say to each other. The program
// starts the helper as
//   tessaly-picture-reader KIND ALPHA CPU-SECONDS ADDRESS-SPACE-BYTES MAX-PIXELS SCALE FILE
// and reads its standard output: the magic, then one status byte. After
// ReaderPicture: the width and the height (32 bits each, in the machine's
// order: both ends are the same build), then width x height pixels of 4
// bytes (QImage::Format_RGB32), top row first. After ReaderError: the
// length of the message (32 bits) and the message, UTF-8, then the same
// for the reason alone. Anything else, or nothing, means the helper died.

#include <cstdint>

inline constexpr char ReaderMagic[4] = {'T', 'P', 'R', '1'};
inline constexpr uint8_t ReaderPicture = 0;
inline constexpr uint8_t ReaderError = 1;
// No reader error message is longer.
inline constexpr uint32_t MaxReaderMessageBytes = 64 * 1024;

// KIND is a TPictureType's number; Unsupported lets Qt's readers tell the
// format from the contents. ALPHA is a TAlpha's number. SCALE divides a
// JPEG's sides as it is decoded (1, 2, 4 or 8); other kinds take 1.
