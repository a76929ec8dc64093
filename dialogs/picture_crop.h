#pragma once
// What the picture dialog computes without a window: where a picture is
// shown in the picture area, which of its own pixels lie under the crop
// rectangle, and the cut-out part itself.
//
// A picture larger than the area is shown scaled down to fit it, so a phone
// photo can be seen and cropped whole; it is still held, cropped and written
// at its own size. One that fits is shown pixel for pixel.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>

// The largest crop accepted, in pixels: the decoders' limit.
constexpr int64_t MaxCropPixelCount = int64_t(1) << 28;

// Where and how large a picture appears in the area.
struct TPictureView {
    QSize Picture;  // the picture's own size
    QPoint Origin;  // its top-left corner in the area
    QSize Shown;    // its size on screen: Picture, or smaller to fit

    bool IsScaled() const { return Shown != Picture; }
    // The picture's own pixels under a rectangle of the area (the crop
    // rectangle): each edge mapped back through the scale and rounded, so
    // that the whole shown picture maps to the whole picture and, unscaled,
    // the result is the rectangle moved by the origin, exactly.
    QRect ToPicture(const QRect &areaRect) const;
    // The area's rectangle over a part of the picture (the inverse, rounded).
    QRect ToArea(const QRect &pictureRect) const;
};

// The view of a picture of `picture` size in an area of `area` size: scaled
// down to fit when larger (proportions kept, at least one pixel a side),
// centred; each offset is half of the room left, truncated. An empty
// picture gets an empty view at the area's centre.
TPictureView FitPicture(QSize picture, QSize area);

// The picture as it is shown at `shown` size (the picture itself at its own
// size), smoothly scaled.
QImage ShownPicture(const QImage &picture, QSize shown);

// The part of `picture` under `part` (in the picture's pixels), copied pixel
// for pixel into a new opaque picture of the part's size; where the part
// lies outside the picture it is white. Raises EPictureError when the part
// has no area or is larger than MaxCropPixelCount.
QImage CropPicture(const QImage &picture, const QRect &part);

// A crop rectangle that a handle drag proposes (`proposed`, from `start`)
// made to keep the proportions of `shape`: the edges the drag did not move
// stay; a corner drag follows the mouse on the side that moved further, a
// side drag carries the other side along, centred. An empty shape, or a
// proposal with no area, leaves the proposal as it is.
QRect KeepShape(const QRect &start, const QRect &proposed, QSize shape);
