// The forward DCT of forwarddct.cpp written for AVX-512's eight-double
// registers: each 1-D pass runs over the eight lanes at once, eight
// registers in, eight out. Every lane does the scalar transform's operations
// in the same order, each multiply and add rounded on its own, so the output
// is bit for bit that of the other paths.

#include "imaging/jpeg/forwarddct.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

// GCC 12's own AVX-512 intrinsics trip its uninitialized-value warning.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wpsabi"

#define TESSALY_AVX512 [[gnu::target("arch=x86-64-v4"), gnu::always_inline]] inline

namespace {

constexpr double C4 = 0.70710678118654752440;
constexpr double K1 = 0.54119610014619698440;
constexpr double K2 = 1.30656296487637652796;

// Steps 2 and 3 of one 1-D pass (as Pass in forwarddct.cpp); in holds
// s07, s16, s25, s34, d07, d16, d25, d34.
TESSALY_AVX512 void Pass8(const __m512d *in, __m512d *X)
{
    const __m512d c4 = _mm512_set1_pd(C4);
    const __m512d e0 = _mm512_add_pd(in[0], in[3]);
    const __m512d e1 = _mm512_add_pd(in[1], in[2]);
    const __m512d e2 = _mm512_sub_pd(in[1], in[2]);
    const __m512d e3 = _mm512_sub_pd(in[0], in[3]);
    X[0] = _mm512_add_pd(e0, e1);
    X[4] = _mm512_sub_pd(e0, e1);
    const __m512d z1 = _mm512_mul_pd(_mm512_add_pd(e2, e3), c4);
    X[2] = _mm512_add_pd(e3, z1);
    X[6] = _mm512_sub_pd(e3, z1);
    const __m512d o0 = _mm512_add_pd(in[7], in[6]);
    const __m512d o1 = _mm512_add_pd(in[6], in[5]);
    const __m512d o2 = _mm512_add_pd(in[5], in[4]);
    const __m512d z = _mm512_mul_pd(_mm512_add_pd(o0, o2), c4);
    const __m512d z3 = _mm512_mul_pd(o1, c4);
    const __m512d r1 = _mm512_mul_pd(_mm512_add_pd(z, o2), _mm512_set1_pd(K1));
    const __m512d r2 = _mm512_mul_pd(_mm512_sub_pd(z, o2), _mm512_set1_pd(K2));
    const __m512d z11 = _mm512_add_pd(in[4], z3);
    const __m512d z13 = _mm512_sub_pd(in[4], z3);
    X[1] = _mm512_add_pd(z11, r1);
    X[7] = _mm512_sub_pd(z11, r1);
    X[5] = _mm512_add_pd(z13, r2);
    X[3] = _mm512_sub_pd(z13, r2);
}

// r[i][j] becomes r[j][i].
TESSALY_AVX512 void Transpose8(__m512d *r)
{
    __m512d t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm512_unpacklo_pd(r[i], r[i + 1]);     // a0 b0 a2 b2 a4 b4 a6 b6
        t[i + 1] = _mm512_unpackhi_pd(r[i], r[i + 1]); // a1 b1 a3 b3 a5 b5 a7 b7
    }
    // Pairs of 128-bit lanes: lanes 0, 2 of one and 0, 2 of the other, and so on.
    for (int i = 0; i < 8; i += 4)
        for (int j = 0; j < 2; ++j) {
            u[i + j] = _mm512_shuffle_f64x2(t[i + j], t[i + 2 + j], 0x88);     // lanes 0 2 | 0 2
            u[i + 2 + j] = _mm512_shuffle_f64x2(t[i + j], t[i + 2 + j], 0xDD); // lanes 1 3 | 1 3
        }
    for (int j = 0; j < 4; ++j) {
        r[j] = _mm512_shuffle_f64x2(u[j], u[4 + j], 0x88);
        r[4 + j] = _mm512_shuffle_f64x2(u[j], u[4 + j], 0xDD);
    }
}

TESSALY_AVX512 __m256i LoadRow(const uint8_t *p)
{
    uint64_t bytes;
    std::memcpy(&bytes, p, 8);
    return _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(int64_t(bytes)));
}

} // namespace

[[gnu::target("arch=x86-64-v4")]] void TransformBlockAvx512(const uint8_t *samples, size_t stride,
                                                            const double *scaledTransposed, int16_t *out)
{
    // Column pass, the lanes are the columns. The level shift by 128 is
    // folded into the integer sums, as on the other paths.
    __m256i x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = LoadRow(samples + stride * k);
    const __m256i shift = _mm256_set1_epi32(256);
    __m512d in[8];
    for (int k = 0; k < 4; ++k) {
        in[k] = _mm512_cvtepi32_pd(_mm256_sub_epi32(_mm256_add_epi32(x[k], x[7 - k]), shift));
        in[4 + k] = _mm512_cvtepi32_pd(_mm256_sub_epi32(x[k], x[7 - k]));
    }
    __m512d T[8]; // T[k]: vertical frequency k of every column
    Pass8(in, T);

    // Row pass: after the transpose T[u] holds input u of every row.
    Transpose8(T);
    const __m512d rows[8] = {_mm512_add_pd(T[0], T[7]), _mm512_add_pd(T[1], T[6]), _mm512_add_pd(T[2], T[5]),
                             _mm512_add_pd(T[3], T[4]), _mm512_sub_pd(T[0], T[7]), _mm512_sub_pd(T[1], T[6]),
                             _mm512_sub_pd(T[2], T[5]), _mm512_sub_pd(T[3], T[4])};
    __m512d X[8]; // X[u][k]: horizontal frequency u of row k
    Pass8(rows, X);

    // floor(x + 0.5): halves round up, not away from zero. Lane k of q[u]
    // is coefficient (k, u).
    __m256i q[8];
    for (int u = 0; u < 8; ++u) {
        const __m512d v = _mm512_add_pd(_mm512_mul_pd(X[u], _mm512_loadu_pd(scaledTransposed + 8 * u)),
                                        _mm512_set1_pd(0.5));
        q[u] = _mm512_cvttpd_epi32(_mm512_roundscale_pd(v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
    }
    // Narrowed to 16 bits (every value lies well inside that range), then
    // put back from column order into rows.
    __m256i t[4];
    for (int i = 0; i < 4; ++i)
        t[i] = _mm512_cvtepi32_epi16(_mm512_inserti64x4(_mm512_castsi256_si512(q[2 * i]), q[2 * i + 1], 1));
    // t holds element 8u + k at index 8u + k; natural order wants 8k + u.
    alignas(64) static const int16_t FromColumns[2][32] = {
        {0, 8, 16, 24, 32, 40, 48, 56, 1, 9, 17, 25, 33, 41, 49, 57,
         2, 10, 18, 26, 34, 42, 50, 58, 3, 11, 19, 27, 35, 43, 51, 59},
        {4, 12, 20, 28, 36, 44, 52, 60, 5, 13, 21, 29, 37, 45, 53, 61,
         6, 14, 22, 30, 38, 46, 54, 62, 7, 15, 23, 31, 39, 47, 55, 63}};
    const __m512i low = _mm512_inserti64x4(_mm512_castsi256_si512(t[0]), t[1], 1);
    const __m512i high = _mm512_inserti64x4(_mm512_castsi256_si512(t[2]), t[3], 1);
    _mm512_storeu_si512(out, _mm512_permutex2var_epi16(low, _mm512_load_si512(FromColumns[0]), high));
    _mm512_storeu_si512(out + 32, _mm512_permutex2var_epi16(low, _mm512_load_si512(FromColumns[1]), high));
}

#endif
