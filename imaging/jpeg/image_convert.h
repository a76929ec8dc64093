#pragma once
// The JPEG export's conversion of a rendered BMP file.

#include <string>

// Reads bmpFileName with the BMP decoder and writes it as a sequential colour
// JPEG at the given quality level (0..9). Never raises: any failure (an
// unreadable bitmap, an encoder error, a file error) answers false, and then
// no JPEG file has replaced whatever jpegFileName held before.
bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality);
