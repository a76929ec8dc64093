#pragma once
// The printed page: one page of the card's paper, no margins, with the card
// at the paper's top-left corner, one card pixel to 1/96 inch. The card is
// drawn by the card painter at the device's own resolution: text as text,
// each picture at its own resolution. The print preview, the printer and the
// PDF export all draw it here, so they cannot disagree.

#include "card/card_layout.h"
#include "card/card_painter.h"
#include "report/length.h"

#include <QPageLayout>
#include <QSizeF>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QString;

// The page as it lies in front of the reader, width x height. A custom
// paper stored in landscape is turned, so that the card picture, which has
// the landscape shape, covers it.
struct TCardPageSize {
    TLength Width;
    TLength Height;
};
TCardPageSize CardPageSize(const PaperSettings &paper);

// That page with no margins; a page wider than high is a landscape page.
// Raises ECardError for a page without area or beyond 200 inches.
QPageLayout CardPageLayout(const PaperSettings &paper);

// A finished card picture (a rendered card, Temp.bmp) as a card of its own
// pixel size: its pixels are the background, with nothing over them.
TCardScene PictureCardScene(const QImage &card);

// Draws the card at the painter's origin at the device's resolution.
void PaintCardPage(QPainter &painter, const TCardScene &card);

// Sets the device's page to the card's page; raises ECardError when the
// device refuses it.
void SetCardPage(QPagedPaintDevice &device, const PaperSettings &paper);

// Sets the device's page to the card's and draws the one page on it. Raises
// ECardError when the device refuses the page or cannot be painted on.
void PrintCardPage(const TCardScene &card, const PaperSettings &paper, QPagedPaintDevice &device);

// The same page as a PDF file, written atomically: the text selectable in
// the fonts of the boxes, embedded.
void WriteCardPagePdf(const TCardScene &card, const PaperSettings &paper, const QString &pdfPath);
