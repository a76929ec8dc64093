#include "imaging/jpeg/forwarddct.h"

#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/simdlevel.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define TESSALY_HAVE_X86_KERNELS 1
#endif

#include <cstring>

// The scaled factorization of Arai, Agui and Nakajima (5 multiplications per
// 1-D pass); the output scaling is folded into the quantization multipliers.
//
// Each 1-D pass runs over eight lanes at once: the columns in the first pass,
// the rows (after a transpose) in the second. Every lane does exactly the
// scalar operations in the same order and no multiply is fused with an add,
// so the results are bit for bit those of the plain scalar transform.

// The vector helpers are inlined into each target's clone; their ABI
// never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

using V8 = double __attribute__((vector_size(64)));
using I8 = int32_t __attribute__((vector_size(32)));
using S8 = int16_t __attribute__((vector_size(16)));
using S32 = int16_t __attribute__((vector_size(64)));

constexpr double C4 = 0.70710678118654752440;
constexpr double K1 = 0.54119610014619698440;
constexpr double K2 = 1.30656296487637652796;

// Steps 2 and 3 of one 1-D pass; step 1 (the sums and differences) is done
// by the caller, in integers for the first pass.
struct Butterfly {
    V8 s07, s16, s25, s34, d07, d16, d25, d34;
};

[[gnu::always_inline]] inline void Pass(const Butterfly &b, V8 *X)
{
    const V8 e0 = b.s07 + b.s34;
    const V8 e1 = b.s16 + b.s25;
    const V8 e2 = b.s16 - b.s25;
    const V8 e3 = b.s07 - b.s34;
    X[0] = e0 + e1;
    X[4] = e0 - e1;
    const V8 z1 = (e2 + e3) * C4;
    X[2] = e3 + z1;
    X[6] = e3 - z1;
    const V8 o0 = b.d34 + b.d25;
    const V8 o1 = b.d25 + b.d16;
    const V8 o2 = b.d16 + b.d07;
    const V8 z = (o0 + o2) * C4;
    const V8 z3 = o1 * C4;
    const V8 r1 = (z + o2) * K1;
    const V8 r2 = (z - o2) * K2;
    const V8 z11 = b.d07 + z3;
    const V8 z13 = b.d07 - z3;
    X[1] = z11 + r1;
    X[7] = z11 - r1;
    X[5] = z13 + r2;
    X[3] = z13 - r2;
}

// r[i][j] becomes r[j][i].
[[gnu::always_inline]] inline void Transpose(V8 *r)
{
    V8 t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 2, 10, 4, 12, 6, 14);
        t[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = __builtin_shufflevector(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
        u[i + 2] = __builtin_shufflevector(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        u[i + 1] = __builtin_shufflevector(t[i + 1], t[i + 3], 0, 1, 8, 9, 4, 5, 12, 13);
        u[i + 3] = __builtin_shufflevector(t[i + 1], t[i + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = __builtin_shufflevector(u[i], u[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        r[i + 4] = __builtin_shufflevector(u[i], u[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

[[gnu::always_inline]] inline I8 LoadRow(const uint8_t *p)
{
    uint8_t bytes[8];
    std::memcpy(bytes, p, 8);
    return I8{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7]};
}

[[gnu::always_inline]] inline void Transform(const uint8_t *samples, size_t stride, const double *scaledTransposed,
                                             int16_t *out)
{
    // Column pass: lanes are columns. The level shift by 128 is folded into
    // the integer sums (each sum of two samples loses 256).
    I8 x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = LoadRow(samples + stride * k);
    const Butterfly columns{__builtin_convertvector(x[0] + x[7] - 256, V8),
                            __builtin_convertvector(x[1] + x[6] - 256, V8),
                            __builtin_convertvector(x[2] + x[5] - 256, V8),
                            __builtin_convertvector(x[3] + x[4] - 256, V8),
                            __builtin_convertvector(x[0] - x[7], V8),
                            __builtin_convertvector(x[1] - x[6], V8),
                            __builtin_convertvector(x[2] - x[5], V8),
                            __builtin_convertvector(x[3] - x[4], V8)};
    V8 T[8]; // T[k]: vertical frequency k of every column
    Pass(columns, T);

    // Row pass: after the transpose T[u] holds input u of every row.
    Transpose(T);
    const Butterfly rows{T[0] + T[7], T[1] + T[6], T[2] + T[5], T[3] + T[4],
                         T[0] - T[7], T[1] - T[6], T[2] - T[5], T[3] - T[4]};
    V8 X[8]; // X[u][k]: horizontal frequency u of row k
    Pass(rows, X);

    // floor(x + 0.5): halves round up, not away from zero. The floor is a
    // truncation corrected for negative non-integers (the values lie far
    // inside the int32 range). The results come out transposed and are put
    // back into natural order as 16-bit values.
    S8 q[8];
    for (int u = 0; u < 8; ++u) {
        V8 scale;
        std::memcpy(&scale, scaledTransposed + 8 * u, sizeof scale);
        const V8 v = X[u] * scale + 0.5;
        const I8 truncated = __builtin_convertvector(v, I8);
        const I8 below = __builtin_convertvector(__builtin_convertvector(truncated, V8) > v, I8);
        q[u] = __builtin_convertvector(truncated + below, S8);
    }
    using S16 = int16_t __attribute__((vector_size(32)));
    const S16 q01 = __builtin_shufflevector(q[0], q[1], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const S16 q23 = __builtin_shufflevector(q[2], q[3], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const S16 q45 = __builtin_shufflevector(q[4], q[5], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const S16 q67 = __builtin_shufflevector(q[6], q[7], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const S32 a = __builtin_shufflevector(q01, q23, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    const S32 b = __builtin_shufflevector(q45, q67, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    const S32 top = __builtin_shufflevector(a, b, 0, 8, 16, 24, 32, 40, 48, 56, 1, 9, 17, 25, 33, 41, 49, 57, 2, 10, 18, 26, 34, 42, 50, 58, 3, 11, 19, 27, 35, 43, 51, 59);
    const S32 bottom = __builtin_shufflevector(a, b, 4, 12, 20, 28, 36, 44, 52, 60, 5, 13, 21, 29, 37, 45, 53, 61, 6, 14, 22, 30, 38, 46, 54, 62, 7, 15, 23, 31, 39, 47, 55, 63);
    std::memcpy(out, &top, sizeof top);
    std::memcpy(out + 32, &bottom, sizeof bottom);
}

} // namespace

#if TESSALY_HAVE_X86_KERNELS
// In forwarddct_avx2.cpp and forwarddct_avx512.cpp.
void TransformBlockAvx2(const uint8_t *samples, size_t stride, const double *scaledTransposed, int16_t *out);
void TransformBlockAvx512(const uint8_t *samples, size_t stride, const double *scaledTransposed, int16_t *out);
#endif

namespace {

void TransformPortable(const uint8_t *samples, size_t stride, const double *scaledTransposed, int16_t *out)
{
    Transform(samples, stride, scaledTransposed, out);
}


} // namespace

void TransformBlockRows(const uint8_t *topLeft, size_t stride, const TJpegEncoderQuantizationTable &table,
                        int16_t *out)
{
#if TESSALY_HAVE_X86_KERNELS
    switch (JpegSimdLevel()) {
    case TJpegSimdLevel::Avx512:
        return TransformBlockAvx512(topLeft, stride, table.ScaledTransposed(), out);
    case TJpegSimdLevel::Avx2:
        return TransformBlockAvx2(topLeft, stride, table.ScaledTransposed(), out);
    case TJpegSimdLevel::Portable:
        break;
    }
#endif
    TransformPortable(topLeft, stride, table.ScaledTransposed(), out);
}

void TransformBlock(const uint8_t *samples, const TJpegEncoderQuantizationTable &table, int16_t *out)
{
    TransformBlockRows(samples, 8, table, out);
}
