#pragma once
// The JPEG export's conversion of a rendered BMP file.

#include <string>

class TJpegEncoder;

// Reads bmpFileName with the BMP decoder and writes it as a sequential colour
// JPEG at the given quality level (0..9). Never raises: any failure (an
// unreadable bitmap, an encoder error, a file error) answers false, and then
// no JPEG file has replaced whatever jpegFileName held before.
bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality);

// The same with an encoder the caller keeps from one conversion to the next,
// so that its memory is ready for the next file instead of being asked of
// the system again. Only its grayscale setting and quality level are set
// here; everything else must be as a new encoder has it.
bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality,
                      TJpegEncoder &encoder);
// The same; on failure `failure` holds what failed and why (the file and
// the system's or the codec's reason).
bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality,
                      TJpegEncoder &encoder, std::string *failure);
