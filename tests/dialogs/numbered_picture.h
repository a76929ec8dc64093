#pragma once
// A test picture whose every pixel differs: a shifted or flipped copy
// cannot pass for the right one.

#include <QImage>

inline QImage Numbered(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)));
    return image;
}
