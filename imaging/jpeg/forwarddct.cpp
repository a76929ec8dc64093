#include "imaging/jpeg/forwarddct.h"

#include "imaging/jpeg/quantization.h"

#include <cmath>

// The scaled factorization of Arai, Agui and Nakajima (5 multiplications per
// 1-D pass); the output scaling is folded into the quantization multipliers.
//
// Each 1-D pass is written over eight lanes at once (the eight columns, then
// the eight rows of the transposed intermediate), so the compiler can keep a
// lane per vector element. Every lane does exactly the scalar operations in
// the same order, and no multiply is fused with an add, so the results are
// those of the plain scalar transform.

namespace {

constexpr double C4 = 0.70710678118654752440;
constexpr double K1 = 0.54119610014619698440;
constexpr double K2 = 1.30656296487637652796;

using Lanes = double[8];

// x[k][lane] -> X[k][lane] for the eight lanes; step 1 is done by the caller.
#define TESSALY_DCT_BODY                                                                   \
    for (int l = 0; l < 8; ++l) {                                                          \
        const double e0 = s07[l] + s34[l];                                                 \
        const double e1 = s16[l] + s25[l];                                                 \
        const double e2 = s16[l] - s25[l];                                                 \
        const double e3 = s07[l] - s34[l];                                                 \
        X[0][l] = e0 + e1;                                                                 \
        X[4][l] = e0 - e1;                                                                 \
        const double z1 = (e2 + e3) * C4;                                                  \
        X[2][l] = e3 + z1;                                                                 \
        X[6][l] = e3 - z1;                                                                 \
        const double o0 = d34[l] + d25[l];                                                 \
        const double o1 = d25[l] + d16[l];                                                 \
        const double o2 = d16[l] + d07[l];                                                 \
        const double z = (o0 + o2) * C4;                                                   \
        const double z3 = o1 * C4;                                                         \
        const double r1 = (z + o2) * K1;                                                   \
        const double r2 = (z - o2) * K2;                                                   \
        const double z11 = d07[l] + z3;                                                    \
        const double z13 = d07[l] - z3;                                                    \
        X[1][l] = z11 + r1;                                                                \
        X[7][l] = z11 - r1;                                                                \
        X[5][l] = z13 + r2;                                                                \
        X[3][l] = z13 - r2;                                                                \
    }

[[gnu::always_inline]] inline void Transform(const uint8_t *samples, const double *scaled, int16_t *out)
{
    // Column pass: lane = column. The level shift by 128 is folded into the
    // integer sums (each sum of two samples loses 256).
    Lanes s07, s16, s25, s34, d07, d16, d25, d34;
    for (int l = 0; l < 8; ++l) {
        const int x0 = samples[l], x1 = samples[8 + l], x2 = samples[16 + l], x3 = samples[24 + l];
        const int x4 = samples[32 + l], x5 = samples[40 + l], x6 = samples[48 + l], x7 = samples[56 + l];
        s07[l] = x0 + x7 - 256;
        s16[l] = x1 + x6 - 256;
        s25[l] = x2 + x5 - 256;
        s34[l] = x3 + x4 - 256;
        d07[l] = x0 - x7;
        d16[l] = x1 - x6;
        d25[l] = x2 - x5;
        d34[l] = x3 - x4;
    }
    double T[8][8]; // T[k][c]: vertical frequency k of column c
    {
        auto &X = T;
        TESSALY_DCT_BODY
    }

    // Row pass: lane = row k; input u of row k is T[k][u].
    for (int l = 0; l < 8; ++l) {
        s07[l] = T[l][0] + T[l][7];
        s16[l] = T[l][1] + T[l][6];
        s25[l] = T[l][2] + T[l][5];
        s34[l] = T[l][3] + T[l][4];
        d07[l] = T[l][0] - T[l][7];
        d16[l] = T[l][1] - T[l][6];
        d25[l] = T[l][2] - T[l][5];
        d34[l] = T[l][3] - T[l][4];
    }
    double X[8][8]; // X[u][k]: horizontal frequency u of row k
    TESSALY_DCT_BODY

    // floor(x + 0.5): halves round up, not away from zero.
    for (int k = 0; k < 8; ++k)
        for (int u = 0; u < 8; ++u)
            out[8 * k + u] = int16_t(std::floor(X[u][k] * scaled[8 * k + u] + 0.5));
}

#undef TESSALY_DCT_BODY

} // namespace

#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target_clones("avx512f", "avx2", "default")]]
#endif
void TransformBlock(const uint8_t *samples, const TJpegEncoderQuantizationTable &table, int16_t *out)
{
    Transform(samples, table.Scaled(), out);
}
