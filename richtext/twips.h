#pragma once
// Twips (1/1440 inch) are the unit in which the card's renderer hands a text
// box its target rectangle, so that the same rectangle means the same place on
// a 96 dpi screen bitmap and on a 600 dpi printer page.

class QPaintDevice;

// A rectangle in twips, measured from the paint device's top-left corner.
// Right and Bottom lie just outside the rectangle: width = Right - Left.
struct TTwipsRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    friend bool operator==(const TTwipsRect &, const TTwipsRect &) = default;
};

// round(1440 / r * pixels), r the device's logical horizontal (X) or vertical
// (Y) resolution in pixels per inch; halves go to the even neighbour. At 96 dpi
// one pixel is exactly 15 twips.
int PixelsToTwipsX(const QPaintDevice *device, int pixels);
int PixelsToTwipsY(const QPaintDevice *device, int pixels);

// The inverse, in device pixels, unrounded (the renderer keeps the fraction).
double TwipsToPixels(int twips, int pixelsPerInch);
