#include "imaging/jpeg/forwarddct.h"

#include "imaging/jpeg/quantization.h"

#include <cstring>

// The scaled factorization of Arai, Agui and Nakajima (5 multiplications per
// 1-D pass); the output scaling is folded into the quantization multipliers.
//
// Each 1-D pass runs over four lanes at a time: the columns in the first pass,
// the rows (after a transpose) in the second. Every lane does exactly the
// scalar operations in the same order and no multiply is fused with an add,
// so the results are bit for bit those of the plain scalar transform.

// The vector helpers are inlined into each target's clone; their ABI
// never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

using V4 = double __attribute__((vector_size(32)));
using I4 = int32_t __attribute__((vector_size(16)));
using I8 = int32_t __attribute__((vector_size(32)));
using S8 = int16_t __attribute__((vector_size(16)));

constexpr double C4 = 0.70710678118654752440;
constexpr double K1 = 0.54119610014619698440;
constexpr double K2 = 1.30656296487637652796;

// Steps 2 and 3 of one 1-D pass; step 1 (the sums and differences) is done
// by the caller, in integers for the first pass.
struct Butterfly {
    V4 s07, s16, s25, s34, d07, d16, d25, d34;
};

[[gnu::always_inline]] inline void Pass(const Butterfly &b, V4 *X)
{
    const V4 e0 = b.s07 + b.s34;
    const V4 e1 = b.s16 + b.s25;
    const V4 e2 = b.s16 - b.s25;
    const V4 e3 = b.s07 - b.s34;
    X[0] = e0 + e1;
    X[4] = e0 - e1;
    const V4 z1 = (e2 + e3) * C4;
    X[2] = e3 + z1;
    X[6] = e3 - z1;
    const V4 o0 = b.d34 + b.d25;
    const V4 o1 = b.d25 + b.d16;
    const V4 o2 = b.d16 + b.d07;
    const V4 z = (o0 + o2) * C4;
    const V4 z3 = o1 * C4;
    const V4 r1 = (z + o2) * K1;
    const V4 r2 = (z - o2) * K2;
    const V4 z11 = b.d07 + z3;
    const V4 z13 = b.d07 - z3;
    X[1] = z11 + r1;
    X[7] = z11 - r1;
    X[5] = z13 + r2;
    X[3] = z13 - r2;
}

[[gnu::always_inline]] inline void Transpose4(V4 &a, V4 &b, V4 &c, V4 &d)
{
    const V4 t0 = __builtin_shufflevector(a, b, 0, 4, 2, 6);
    const V4 t1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
    const V4 t2 = __builtin_shufflevector(c, d, 0, 4, 2, 6);
    const V4 t3 = __builtin_shufflevector(c, d, 1, 5, 3, 7);
    a = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    b = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    c = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    d = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// M[r][h]: row r, columns 4h..4h+3. Transposed in place.
[[gnu::always_inline]] inline void Transpose8(V4 (*M)[2])
{
    Transpose4(M[0][0], M[1][0], M[2][0], M[3][0]);
    Transpose4(M[0][1], M[1][1], M[2][1], M[3][1]);
    Transpose4(M[4][0], M[5][0], M[6][0], M[7][0]);
    Transpose4(M[4][1], M[5][1], M[6][1], M[7][1]);
    for (int r = 0; r < 4; ++r) {
        const V4 upperRight = M[r][1];
        M[r][1] = M[r + 4][0];
        M[r + 4][0] = upperRight;
    }
}

[[gnu::always_inline]] inline V4 Load(const double *p)
{
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline void Transform(const uint8_t *samples, const double *scaled, int16_t *out)
{
    // Column pass: lanes are columns. The level shift by 128 is folded into
    // the integer sums (each sum of two samples loses 256).
    V4 T[8][2];
    for (int h = 0; h < 2; ++h) {
        double s07[4], s16[4], s25[4], s34[4], d07[4], d16[4], d25[4], d34[4];
        for (int l = 0; l < 4; ++l) {
            const int c = 4 * h + l;
            const int x0 = samples[c], x1 = samples[8 + c], x2 = samples[16 + c], x3 = samples[24 + c];
            const int x4 = samples[32 + c], x5 = samples[40 + c], x6 = samples[48 + c], x7 = samples[56 + c];
            s07[l] = x0 + x7 - 256;
            s16[l] = x1 + x6 - 256;
            s25[l] = x2 + x5 - 256;
            s34[l] = x3 + x4 - 256;
            d07[l] = x0 - x7;
            d16[l] = x1 - x6;
            d25[l] = x2 - x5;
            d34[l] = x3 - x4;
        }
        const Butterfly b{Load(s07), Load(s16), Load(s25), Load(s34), Load(d07), Load(d16), Load(d25), Load(d34)};
        V4 X[8];
        Pass(b, X);
        for (int k = 0; k < 8; ++k)
            T[k][h] = X[k];
    }

    // Row pass: after the transpose T[u][h] holds input u of rows 4h..4h+3.
    Transpose8(T);
    V4 R[8][2];
    for (int h = 0; h < 2; ++h) {
        const Butterfly b{T[0][h] + T[7][h], T[1][h] + T[6][h], T[2][h] + T[5][h], T[3][h] + T[4][h],
                          T[0][h] - T[7][h], T[1][h] - T[6][h], T[2][h] - T[5][h], T[3][h] - T[4][h]};
        V4 X[8];
        Pass(b, X);
        for (int u = 0; u < 8; ++u)
            R[u][h] = X[u];
    }

    // Back to rows of horizontal frequencies, then floor(x + 0.5): halves
    // round up, not away from zero. The floor is a truncation corrected for
    // negative non-integers (the values are far inside the int32 range).
    Transpose8(R);
    for (int k = 0; k < 8; ++k) {
        I4 floored[2];
        for (int h = 0; h < 2; ++h) {
            const V4 v = R[k][h] * Load(scaled + 8 * k + 4 * h) + 0.5;
            const I4 truncated = __builtin_convertvector(v, I4);
            const V4 back = __builtin_convertvector(truncated, V4);
            const I4 below = __builtin_convertvector(back > v, I4); // -1 where truncation went up
            floored[h] = truncated + below;
        }
        const I8 row = __builtin_shufflevector(floored[0], floored[1], 0, 1, 2, 3, 4, 5, 6, 7);
        const S8 narrow = __builtin_convertvector(row, S8);
        std::memcpy(out + 8 * k, &narrow, sizeof narrow);
    }
}

} // namespace

#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target_clones("avx2", "default")]]
#endif
void TransformBlock(const uint8_t *samples, const TJpegEncoderQuantizationTable &table, int16_t *out)
{
    Transform(samples, table.Scaled(), out);
}
