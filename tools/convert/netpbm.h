#pragma once
// Netpbm images of a TBitmapImage, byte for byte: PPM (P6, red, green,
// blue) and PAM (P7, TUPLTYPE RGB_ALPHA, alpha straight from Alpha).

#include "imaging/bitmapimage.h"

#include <string>

std::string EncodePpm(const TBitmapImage &image);
std::string EncodePam(const TBitmapImage &image);
