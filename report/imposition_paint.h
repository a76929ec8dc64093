#pragma once
// Drawing imposed pages: the faces through their placements and the
// printed marks. Pictures of the faces are drawn stretched over the face's
// size on paper, so a face rendered at any resolution lands on the same
// place of the page; a painter that draws the card itself at the device's
// resolution uses FaceTransform with the same placements.

#include "report/imposition.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QTransform>

#include <cstdint>

class QPainter;

// The pictures of a card's faces; a null picture draws nothing.
struct TFacePictures {
    QImage Outside;
    QImage Inside;
    const QImage &Of(TCardFace face) const { return face == TCardFace::Inside ? Inside : Outside; }
};

// The width of the printed marks' lines.
constexpr TLength MarkLineWidth = TLength::FromMm(0.2);

// Maps points of the face in tenths of a millimetre (from its top-left
// corner) to the device, `dotsPerTenth` device pixels to a tenth of a
// millimetre, through the placement.
QTransform FaceTransform(const TPlacement &placement, TPageSize face, double dotsPerTenth);

// Draws the page's placements with the face pictures (each picture
// stretched over the face) and its crop and fold marks, on white. The
// painter's device has `dotsPerTenth` pixels to a tenth of a millimetre
// from the page's top-left corner.
void PaintImposedPage(QPainter &painter, const TImposedPage &page, TPageSize face, const TFacePictures &faces,
                      double dotsPerTenth);

// The most pixels RenderImposedPage draws: a letter page at 1200 dpi and
// more, far less than would exhaust memory.
constexpr int64_t MaxRenderedPagePixels = int64_t(200) * 1000 * 1000;

// The same page as a picture of the page's size at `dotsPerInch`. Raises
// ECardError for a picture of more than MaxRenderedPagePixels.
QImage RenderImposedPage(const TImposedPage &page, TPageSize face, const TFacePictures &faces, double dotsPerInch);

// The page a printer or PDF writer is given for an imposed page: the
// standard paper of that size where there is one (A4, letter, ...), so that
// a printer takes it from its usual tray, otherwise a custom size; no
// margins, positions measured from the paper's corner.
QPageLayout ImposedPageLayout(const TImposedPage &page);
// A printer's paper as the imposition takes it (portrait).
TPageSize PrinterPaperSize(const QPageSize &pageSize);
