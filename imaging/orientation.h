#pragma once
// Turning a picture upright by the orientation a camera recorded (the Exif
// Orientation tag, TIFF 6.0 tag 274): the value says where the stored rows
// and columns belong, 1 being already upright.

#include "imaging/bitmapimage.h"

// Values outside 1..8 are treated as 1 (the tag's default).
bool IsTransposingOrientation(int orientation);

// Rewrites image so that it shows upright; orientations 5 to 8 swap width
// and height.
void ApplyOrientation(TBitmapImage &image, int orientation);
