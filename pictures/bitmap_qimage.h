#pragma once
// The one conversion between the codecs' TBitmapImage and Qt's QImage.
// Both directions give opaque pictures: a bitmap's alpha byte is not
// transparency anywhere in the program.

#include "imaging/bitmapimage.h"

#include <QImage>

// Format_RGB32, width x height of the bitmap; a 0 x 0 bitmap gives a null image.
QImage ToQImage(const TBitmapImage &bitmap);
// The same, taking over the bitmap's pixels instead of copying them: a
// large picture is not held twice. `bitmap` is left empty. alphaIsOpaque:
// every Alpha is 255 already (a reader made them so), and the pixels are
// taken as they are, without a pass over them.
QImage ToQImage(TBitmapImage &&bitmap, bool alphaIsOpaque = false);
// Any QImage as opaque Format_RGB32 pixels: what is not opaque is laid on
// white, as on a new bitmap. An image that already is one is returned as it is.
QImage OpaqueOnWhite(const QImage &image);

// Any QImage, flattened onto white where it is not opaque; Alpha is 0.
TBitmapImage ToBitmapImage(const QImage &image);
