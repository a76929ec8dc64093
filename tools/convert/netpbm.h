#pragma once
// Netpbm images of a picture, byte for byte: PPM (P6, red, green, blue) and
// PAM (P7, TUPLTYPE RGB_ALPHA, alpha straight from Alpha).

#include "imaging/atomicfile.h"
#include "imaging/rowsource.h"

#include <string>

enum class TNetpbmKind { Ppm, Pam };

// The header of a picture of width x height.
std::string NetpbmHeader(TNetpbmKind kind, int32_t width, int32_t height);

// Writes the header and the rows into file a strip at a time, through one
// buffer of a few hundred kilobytes: the file is never held whole.
void WriteNetpbm(TAtomicFile &file, TNetpbmKind kind, const TPixelRowSource &rows);
