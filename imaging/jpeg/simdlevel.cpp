#include "imaging/jpeg/simdlevel.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

TJpegSimdLevel DetectLevel()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    // The kernels are built for the x86-64 levels: v4 brings AVX-512 F, BW,
    // CD, DQ and VL; v3 AVX2 with BMI1, BMI2, LZCNT and FMA.
    if (__builtin_cpu_supports("x86-64-v4"))
        return TJpegSimdLevel::Avx512;
    if (__builtin_cpu_supports("x86-64-v3"))
        return TJpegSimdLevel::Avx2;
#endif
    return TJpegSimdLevel::Portable;
}

TJpegSimdLevel InitialLevel()
{
    const TJpegSimdLevel supported = JpegSupportedSimdLevel();
    const char *asked = std::getenv("TESSALY_JPEG_SIMD");
    if (asked == nullptr)
        return supported;
    for (TJpegSimdLevel level : {TJpegSimdLevel::Portable, TJpegSimdLevel::Avx2, TJpegSimdLevel::Avx512})
        if (std::strcmp(asked, JpegSimdLevelName(level)) == 0 && level <= supported)
            return level;
    return supported;
}

TJpegSimdLevel &CurrentLevel()
{
    static TJpegSimdLevel level = InitialLevel();
    return level;
}

} // namespace

TJpegSimdLevel JpegSupportedSimdLevel()
{
    static const TJpegSimdLevel supported = DetectLevel();
    return supported;
}

TJpegSimdLevel JpegSimdLevel()
{
    return CurrentLevel();
}

bool SetJpegSimdLevel(TJpegSimdLevel level)
{
    if (level > JpegSupportedSimdLevel())
        return false;
    CurrentLevel() = level;
    return true;
}

const char *JpegSimdLevelName(TJpegSimdLevel level)
{
    switch (level) {
    case TJpegSimdLevel::Avx512:
        return "avx512";
    case TJpegSimdLevel::Avx2:
        return "avx2";
    case TJpegSimdLevel::Portable:
        break;
    }
    return "portable";
}
