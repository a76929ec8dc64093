#pragma once
// The one conversion between the codecs' TBitmapImage and Qt's QImage.
// Both directions give opaque pictures: a bitmap's alpha byte is not
// transparency anywhere in the program.

#include "imaging/bitmapimage.h"

#include <QImage>

// Format_RGB32, width x height of the bitmap; a 0 x 0 bitmap gives a null image.
QImage ToQImage(const TBitmapImage &bitmap);
// Any QImage, flattened onto white where it is not opaque; Alpha is 0.
TBitmapImage ToBitmapImage(const QImage &image);
