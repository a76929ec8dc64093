#pragma once
// Which vector instructions the encoder's hot kernels (colour rows, forward
// DCT, coefficient masks, the scan coders) use: the x86-64 levels v4
// (AVX-512) and v3 (AVX2), or none. Chosen once at run time from what the
// CPU offers; the environment variable TESSALY_JPEG_SIMD=avx512|avx2|portable
// asks for a lower level, so that each path can be measured and tested on
// one machine. Every level produces the same bytes.

enum class TJpegSimdLevel { Portable, Avx2, Avx512 };

// The level in use: the best the CPU supports, or TESSALY_JPEG_SIMD's choice
// when that is supported.
TJpegSimdLevel JpegSimdLevel();
// The best level this CPU supports.
TJpegSimdLevel JpegSupportedSimdLevel();
// For tests and benchmarks: use level from now on (false, and no change,
// when the CPU lacks it). Not while an encoder is running.
bool SetJpegSimdLevel(TJpegSimdLevel level);
// "avx512", "avx2" or "portable".
const char *JpegSimdLevelName(TJpegSimdLevel level);
