#include "imaging/orientation.h"

#include <algorithm>
#include <utility>

bool IsTransposingOrientation(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

void PlaceRowsUpright(const TPixel *rows, int32_t firstRow, int32_t rowCount, int32_t storedWidth,
                      int32_t storedHeight, int orientation, TBitmapImage &upright)
{
    // Stored (sx, sy) lands at upright column x(sy) and row y(sx). Going
    // down the few stored rows for each stored column writes a short run of
    // neighbouring pixels in one upright row, so each cache line is written
    // once; the stored rows stay in the cache meanwhile.
    const bool sameRowOrder = orientation == 5 || orientation == 8;     // x = sy
    const bool sameColumnOrder = orientation == 5 || orientation == 6;  // y = sx
    for (int32_t sx = 0; sx < storedWidth; ++sx) {
        TPixel *row = &upright.At(0, sameColumnOrder ? sx : storedWidth - 1 - sx);
        for (int32_t i = 0; i < rowCount; ++i) {
            const int32_t sy = firstRow + i;
            row[sameRowOrder ? sy : storedHeight - 1 - sy] = rows[size_t(i) * size_t(storedWidth) + size_t(sx)];
        }
    }
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
