#pragma once
// Turning a picture upright by the orientation a camera recorded (the Exif
// Orientation tag, TIFF 6.0 tag 274): the value says where the stored rows
// and columns belong, 1 being already upright.

#include "imaging/bitmapimage.h"

// Values outside 1..8 are treated as 1 (the tag's default).
bool IsTransposingOrientation(int orientation);

// For orientations 1 to 4, which keep rows rows: the upright row that
// stored row storedRow of a picture height rows high becomes, and whether
// each row is to be reversed. A decoder puts rows there as they arrive.
int32_t UprightRowOf(int orientation, int32_t storedRow, int32_t height);
bool MirrorsRows(int orientation);

// Rewrites image so that it shows upright; orientations 5 to 8 swap width
// and height.
void ApplyOrientation(TBitmapImage &image, int orientation);

// For orientations 5 to 8, which turn rows into columns: puts `rowCount`
// stored rows, starting at stored row `firstRow` of a picture of
// storedWidth x storedHeight, where they belong in `upright`, which is
// already storedHeight x storedWidth. A decoder calls it as the rows
// arrive, so the stored picture is never held whole.
void PlaceRowsUpright(const TPixel *rows, int32_t firstRow, int32_t rowCount, int32_t storedWidth,
                      int32_t storedHeight, int orientation, TBitmapImage &upright);
