#pragma once
// A picture that shows a swapped channel, a flipped row order or an edge off
// by one at once: 6 x 5, no symmetry, red top-left, green top-right, blue
// bottom-left, one dark pixel inside.

#include <QImage>

inline QImage AsymmetricPicture()
{
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(qRgb(200, 200, 200));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(5, 0, qRgb(0, 255, 0));
    image.setPixel(0, 4, qRgb(0, 0, 255));
    image.setPixel(3, 2, qRgb(10, 20, 30));
    return image;
}
