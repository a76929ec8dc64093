#include "imaging/orientation.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool IsTransposingOrientation(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

bool MirrorsRows(int orientation)
{
    return orientation == 2 || orientation == 3;
}

int32_t UprightRowOf(int orientation, int32_t storedRow, int32_t height)
{
    return orientation == 3 || orientation == 4 ? height - 1 - storedRow : storedRow;
}

namespace {

// Where a stored pixel (sx, sy) of a turned picture lands: upright column
// x(sy) and upright row y(sx).
struct TTurn {
    bool SameRowOrder;    // x = sy, else x = storedHeight - 1 - sy
    bool SameColumnOrder; // y = sx, else y = storedWidth - 1 - sx
    int32_t StoredWidth;
    int32_t StoredHeight;

    int32_t Column(int32_t sy) const { return SameRowOrder ? sy : StoredHeight - 1 - sy; }
    int32_t Row(int32_t sx) const { return SameColumnOrder ? sx : StoredWidth - 1 - sx; }
};

// The pixels of one stored column, rows first .. first + count - 1 of
// `rows`, into their upright row: one at a time, for the edges of the tiles.
void PlaceColumnPart(const TTurn &turn, const TPixel *rows, int32_t firstRow, int32_t first, int32_t count, int32_t sx,
                     TBitmapImage &upright)
{
    TPixel *row = &upright.At(0, turn.Row(sx));
    for (int32_t i = first; i < first + count; ++i)
        row[turn.Column(firstRow + i)] = rows[size_t(i) * size_t(turn.StoredWidth) + size_t(sx)];
}

} // namespace

void PlaceRowsUpright(const TPixel *rows, int32_t firstRow, int32_t rowCount, int32_t storedWidth,
                      int32_t storedHeight, int orientation, TBitmapImage &upright)
{
    const TTurn turn{orientation == 5 || orientation == 8, orientation == 5 || orientation == 6, storedWidth,
                     storedHeight};
    const size_t stride = size_t(storedWidth);
    int32_t tiledColumns = 0;
    int32_t tiledRows = 0;
#if defined(__SSE2__)
    // Four stored columns at a time, down all the rows: each 4 x 4 tile is
    // turned in registers, and the four upright rows it lands in get a run
    // of neighbouring pixels each, so every cache line is written whole
    // while the few stored lines being read stay in the cache. Where the
    // runs are aligned they bypass the cache: the upright picture is far
    // larger than it, and is not read back here.
    const bool streaming = reinterpret_cast<uintptr_t>(upright.Pixels.data()) % 16 == 0 && storedHeight % 4 == 0
                           && firstRow % 4 == 0;
    tiledColumns = storedWidth & ~3;
    tiledRows = rowCount & ~3;
    for (int32_t sx = 0; sx < tiledColumns; sx += 4) {
        TPixel *out[4];
        for (int32_t j = 0; j < 4; ++j)
            out[j] = &upright.At(0, turn.Row(sx + j));
        for (int32_t i = 0; i < tiledRows; i += 4) {
            const TPixel *in = rows + size_t(i) * stride + size_t(sx);
            const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
            const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + stride));
            const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 2 * stride));
            const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 3 * stride));
            const __m128i low01 = _mm_unpacklo_epi32(r0, r1);
            const __m128i low23 = _mm_unpacklo_epi32(r2, r3);
            const __m128i high01 = _mm_unpackhi_epi32(r0, r1);
            const __m128i high23 = _mm_unpackhi_epi32(r2, r3);
            // Column j of the tile, stored rows in order.
            __m128i column[4] = {_mm_unpacklo_epi64(low01, low23), _mm_unpackhi_epi64(low01, low23),
                                 _mm_unpacklo_epi64(high01, high23), _mm_unpackhi_epi64(high01, high23)};
            const int32_t sy = firstRow + i;
            int32_t x = sy;
            if (!turn.SameRowOrder) {
                x = storedHeight - 4 - sy;
                for (__m128i &c : column)
                    c = _mm_shuffle_epi32(c, _MM_SHUFFLE(0, 1, 2, 3));
            }
            if (streaming) {
                for (int32_t j = 0; j < 4; ++j)
                    _mm_stream_si128(reinterpret_cast<__m128i *>(out[j] + x), column[j]);
            } else {
                for (int32_t j = 0; j < 4; ++j)
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(out[j] + x), column[j]);
            }
        }
        for (int32_t j = 0; j < 4; ++j)
            PlaceColumnPart(turn, rows, firstRow, tiledRows, rowCount - tiledRows, sx + j, upright);
    }
    // The streamed stores are seen by every thread before the picture is.
    _mm_sfence();
#endif
    for (int32_t sx = tiledColumns; sx < storedWidth; ++sx)
        PlaceColumnPart(turn, rows, firstRow, 0, rowCount, sx, upright);
}

void ApplyOrientation(TBitmapImage &image, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return;
    const int32_t width = image.Width;
    const int32_t height = image.Height;
    if (orientation == 2) {
        for (int32_t y = 0; y < height; ++y)
            std::reverse(&image.At(0, y), &image.At(0, y) + width);
        return;
    }
    if (orientation == 3) {
        std::reverse(image.Pixels.begin(), image.Pixels.end());
        return;
    }
    if (orientation == 4) {
        for (int32_t y = 0; y < height / 2; ++y)
            std::swap_ranges(&image.At(0, y), &image.At(0, y) + width, &image.At(0, height - 1 - y));
        return;
    }
    // 5 to 8: a band of rows at a time, as a decoder hands them on.
    constexpr int32_t Band = 16;
    TBitmapImage upright;
    upright.SetSize(height, width);
    for (int32_t y = 0; y < height; y += Band)
        PlaceRowsUpright(&image.At(0, y), y, std::min(Band, height - y), width, height, orientation, upright);
    image = std::move(upright);
}
