#pragma once
// How a picture of the user's is made to lie in a picture frame without
// being squashed, and how large it is kept in the card folder.
//
// The card draws a picture file stretched over its frame, and old cards rely
// on that, so Card.crd stays as it is: a picture is instead stored already
// cut to its frame's proportions (centred, the overflow cut away), and the
// stretch then draws it undistorted. It is stored no larger than the whole
// card printed at 300 pixels an inch, which is all a print can show.
//
// A frame may later be resized to other proportions. A picture stored this
// way therefore has a small side file beside it, "<picture file>.fit"
// holding the word "fill": the card then cuts it to the frame's current
// proportions rather than stretching it. A picture without one (every card
// made before) is stretched as it always was.
//
// No widgets: the picture dialog and the card document's commands share it.

#include "card/card_layout.h"

#include <QImage>
#include <QRect>
#include <QSize>

// Pixels a card inch holds on paper at the finest print worth storing.
constexpr int StoredPicturePixelsPerInch = 300;

// The size of a slot's rectangle; empty when it has no area.
QSize SlotSize(const SlotRect &rect);

// The largest part of a picture of `picture` size that has the proportions
// of `frame`, centred; the whole picture when either size is empty. Each
// side is at least one pixel.
QRect FillPart(QSize picture, QSize frame);

// The whole card (CardWidth x CardHeight card pixels, 96 to the inch) at
// StoredPicturePixelsPerInch:
// no stored picture needs more pixels than the card has when printed.
// An A5 card (793 x 559) gives 2478 x 1746.
QSize StoredPictureBound(const PaperSettings &paper);

// `picture` scaled down, proportions kept, to lie within `bound`; a smaller
// one (or an empty bound) keeps its own pixels.
QImage BoundedPicture(const QImage &picture, QSize bound);

// What is written into the card folder for a picture chosen for a frame of
// `frame` size: FillPart of it, then BoundedPicture. An empty frame keeps
// the picture's own proportions.
QImage PictureForFrame(const QImage &picture, QSize frame, QSize bound);

// The side file that marks a card picture as keeping its proportions.
QString FitMarkerPath(const QString &picturePath);
// True when that side file is a regular file holding "fill".
bool KeepsProportions(const QString &picturePath);

// Writes PictureForFrame(picture, frame, bound) as the 24-bit BMP `path`
// and, for a frame with an area, its side file, each through the atomic
// writer; the picture goes first, so a failure leaves at worst a picture
// already of the frame's shape. Raises as WritePictureBmp does.
void StoreFramePicture(const QImage &picture, QSize frame, QSize bound, const QString &path);

// The part of a picture of `picture` size that the card stretches over
// `slot`: all of it, or for a picture that keeps its proportions, FillPart
// for the slot's current size.
QRect PicturePartForSlot(QSize picture, const SlotRect &slot, bool keepsProportions);
