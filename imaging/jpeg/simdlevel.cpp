#include "imaging/jpeg/simdlevel.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

TJpegSimdLevel DetectLevel()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    // The AVX-512 kernels use byte permutes (VBMI) and word compares (BW).
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi"))
        return TJpegSimdLevel::Avx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
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
