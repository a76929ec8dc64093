#include "imaging/orientation.h"

#include <algorithm>
#include <utility>

bool IsTransposingOrientation(int orientation)
{
    return orientation >= 5 && orientation <= 8;
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

    // 5 to 8: the upright picture is height x width; (x, y) of it comes from
    // the stored picture's column sourceX(y) and row sourceY(x).
    TBitmapImage upright;
    upright.SetSize(height, width);
    for (int32_t y = 0; y < width; ++y) {
        TPixel *row = &upright.At(0, y);
        const int32_t sourceX = (orientation == 5 || orientation == 6) ? y : width - 1 - y;
        for (int32_t x = 0; x < height; ++x) {
            const int32_t sourceY = (orientation == 5 || orientation == 8) ? x : height - 1 - x;
            row[x] = image.At(sourceX, sourceY);
        }
    }
    image = std::move(upright);
}
