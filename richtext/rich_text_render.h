#pragma once
// Draws a rich-text document into a rectangle of a paint device, the way a
// text box appears on the finished card: the whole content, laid out for the
// rectangle's width at the device's own resolution (a 12 pt font is 16 pixels
// high at 96 dpi and 50 at 300 dpi), on a transparent ground. Lines that do not
// fit completely above the rectangle's lower edge are left out, as a printed
// page leaves out what does not fit on it.

#include "richtext/twips.h"

class QPainter;
class QTextDocument;

// Draws `doc` with `painter` into `rect`, given in twips of the painter's
// device and measured in the painter's current coordinates. Returns false when
// there is nothing to draw on (no painter, inactive painter, no device) or the
// rectangle is empty; the painter's state is left as it was.
bool RenderRichText(const QTextDocument *doc, QPainter *painter, const TTwipsRect &rect);

// The same, laid out as on `layoutDevice` and drawn scaled to the painter's
// device: the lines break where they break on that device (the screen's 96
// dpi), while the glyphs are drawn at the painter's device's resolution (a
// printer's, a PDF's). With a layout device of the painter's own resolution
// this is RenderRichText above.
bool RenderRichText(const QTextDocument *doc, QPainter *painter, const TTwipsRect &rect,
                    const QPaintDevice *layoutDevice);
