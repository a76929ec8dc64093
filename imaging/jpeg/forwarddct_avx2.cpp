// The forward DCT of forwarddct.cpp written for AVX2's four-double
// registers: each 1-D pass runs as two halves of four lanes. Without
// AVX-512 the eight-lane vector code splits every value over two registers
// and spills most of them; here each half fits the sixteen registers.
//
// Every lane does the scalar transform's operations in the same order, each
// multiply and add rounded on its own, so the output is bit for bit that of
// the other paths.

#include "imaging/jpeg/forwarddct.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

// The helpers are inlined into the AVX2 function; their ABI never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

#define TESSALY_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

namespace {

constexpr double C4 = 0.70710678118654752440;
constexpr double K1 = 0.54119610014619698440;
constexpr double K2 = 1.30656296487637652796;

struct Butterfly4 {
    __m256d s07, s16, s25, s34, d07, d16, d25, d34;
};

// Steps 2 and 3 of one 1-D pass on four lanes (as Pass in forwarddct.cpp).
TESSALY_AVX2 void Pass4(const Butterfly4 &b, __m256d *X)
{
    const __m256d c4 = _mm256_set1_pd(C4);
    const __m256d e0 = _mm256_add_pd(b.s07, b.s34);
    const __m256d e1 = _mm256_add_pd(b.s16, b.s25);
    const __m256d e2 = _mm256_sub_pd(b.s16, b.s25);
    const __m256d e3 = _mm256_sub_pd(b.s07, b.s34);
    X[0] = _mm256_add_pd(e0, e1);
    X[4] = _mm256_sub_pd(e0, e1);
    const __m256d z1 = _mm256_mul_pd(_mm256_add_pd(e2, e3), c4);
    X[2] = _mm256_add_pd(e3, z1);
    X[6] = _mm256_sub_pd(e3, z1);
    const __m256d o0 = _mm256_add_pd(b.d34, b.d25);
    const __m256d o1 = _mm256_add_pd(b.d25, b.d16);
    const __m256d o2 = _mm256_add_pd(b.d16, b.d07);
    const __m256d z = _mm256_mul_pd(_mm256_add_pd(o0, o2), c4);
    const __m256d z3 = _mm256_mul_pd(o1, c4);
    const __m256d r1 = _mm256_mul_pd(_mm256_add_pd(z, o2), _mm256_set1_pd(K1));
    const __m256d r2 = _mm256_mul_pd(_mm256_sub_pd(z, o2), _mm256_set1_pd(K2));
    const __m256d z11 = _mm256_add_pd(b.d07, z3);
    const __m256d z13 = _mm256_sub_pd(b.d07, z3);
    X[1] = _mm256_add_pd(z11, r1);
    X[7] = _mm256_sub_pd(z11, r1);
    X[5] = _mm256_add_pd(z13, r2);
    X[3] = _mm256_sub_pd(z13, r2);
}

// r[i][j] becomes out[j][i] for a 4 x 4 block.
TESSALY_AVX2 void Transpose4(const __m256d *r, __m256d *out)
{
    const __m256d t0 = _mm256_unpacklo_pd(r[0], r[1]);
    const __m256d t1 = _mm256_unpackhi_pd(r[0], r[1]);
    const __m256d t2 = _mm256_unpacklo_pd(r[2], r[3]);
    const __m256d t3 = _mm256_unpackhi_pd(r[2], r[3]);
    out[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
    out[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
    out[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
    out[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
}

TESSALY_AVX2 __m128i LoadFour(const uint8_t *p)
{
    int32_t bytes;
    std::memcpy(&bytes, p, 4);
    return _mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes));
}

TESSALY_AVX2 __m256d Sum(__m128i a, __m128i b, __m128i shift)
{
    return _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_add_epi32(a, b), shift));
}

TESSALY_AVX2 __m256d Difference(__m128i a, __m128i b)
{
    return _mm256_cvtepi32_pd(_mm_sub_epi32(a, b));
}

} // namespace

[[gnu::target("avx2")]] void TransformBlockAvx2(const uint8_t *samples, size_t stride,
                                                const double *scaledTransposed, int16_t *out)
{
    // Column pass, columns 4h..4h+3: T[h][k] is vertical frequency k. The
    // level shift by 128 is folded into the integer sums, as on the other paths.
    __m256d T[2][8];
    const __m128i shift = _mm_set1_epi32(256);
    for (int h = 0; h < 2; ++h) {
        __m128i x[8];
        for (int k = 0; k < 8; ++k)
            x[k] = LoadFour(samples + stride * k + 4 * h);
        const Butterfly4 columns{Sum(x[0], x[7], shift),   Sum(x[1], x[6], shift),   Sum(x[2], x[5], shift),
                                 Sum(x[3], x[4], shift),   Difference(x[0], x[7]), Difference(x[1], x[6]),
                                 Difference(x[2], x[5]), Difference(x[3], x[4])};
        Pass4(columns, T[h]);
    }

    // Row pass, rows (vertical frequencies) 4g..4g+3 as lanes: R[u] is input u.
    for (int g = 0; g < 2; ++g) {
        __m256d R[8];
        Transpose4(T[0] + 4 * g, R);
        Transpose4(T[1] + 4 * g, R + 4);
        const Butterfly4 rows{_mm256_add_pd(R[0], R[7]), _mm256_add_pd(R[1], R[6]), _mm256_add_pd(R[2], R[5]),
                              _mm256_add_pd(R[3], R[4]), _mm256_sub_pd(R[0], R[7]), _mm256_sub_pd(R[1], R[6]),
                              _mm256_sub_pd(R[2], R[5]), _mm256_sub_pd(R[3], R[4])};
        __m256d X[8]; // X[u]: horizontal frequency u of the four rows
        Pass4(rows, X);

        // floor(x + 0.5): halves round up, not away from zero.
        __m128i q[8];
        for (int u = 0; u < 8; ++u) {
            const __m256d scale = _mm256_loadu_pd(scaledTransposed + 8 * u + 4 * g);
            const __m256d v = _mm256_add_pd(_mm256_mul_pd(X[u], scale), _mm256_set1_pd(0.5));
            q[u] = _mm256_cvttpd_epi32(_mm256_floor_pd(v));
        }
        // q[u][j] is coefficient (4g + j, u): transpose back into rows and
        // narrow to 16 bits (every value lies well inside that range).
        for (int half = 0; half < 2; ++half) {
            const __m128i *p = q + 4 * half;
            const __m128i a = _mm_unpacklo_epi32(p[0], p[1]);
            const __m128i b = _mm_unpackhi_epi32(p[0], p[1]);
            const __m128i c = _mm_unpacklo_epi32(p[2], p[3]);
            const __m128i d = _mm_unpackhi_epi32(p[2], p[3]);
            q[4 * half + 0] = _mm_unpacklo_epi64(a, c);
            q[4 * half + 1] = _mm_unpackhi_epi64(a, c);
            q[4 * half + 2] = _mm_unpacklo_epi64(b, d);
            q[4 * half + 3] = _mm_unpackhi_epi64(b, d);
        }
        for (int j = 0; j < 4; ++j)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8 * (4 * g + j)), _mm_packs_epi32(q[j], q[4 + j]));
    }
}

#endif
