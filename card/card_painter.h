#pragma once
// The one drawing of a card: its pictures, the background stretched over the
// whole card with its transparent colour letting the pictures show through,
// and every text box over them as text. It paints on any QPainter at any
// resolution: the card's top-left corner lies at the painter's origin and one
// card pixel covers (device resolution / 96) device pixels, so the screen's
// canvas, the exported 96-pixel bitmap, the print preview, the printer and
// the PDF are the same drawing at different resolutions.
//
// Plain data in: the layout, the pictures as read from their files and the
// text boxes' documents with their bounds. No widget is involved.

#include "card/card_layout.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

class QPainter;
class QTextDocument;

// One text box of the card: its document and its bounds in card pixels
// (measured from the card's top-left corner). The document is only read.
struct TCardTextBox {
    const QTextDocument *Document = nullptr;
    QRect Bounds;
};

inline constexpr std::size_t CardPictureSlots = std::size(CardLayout{}.Pictures);

// A card's pictures as read from their files, each at its own resolution.
struct TCardPictures {
    QImage Background;                                // null: the card names none
    std::array<QImage, CardPictureSlots> Pictures;    // null where the slot is unused
    // A picture chosen to keep its proportions is cut to its frame's shape
    // (PicturePartForSlot); any other is stretched over its frame.
    std::array<bool, CardPictureSlots> KeepsProportions{};
};

enum class TCardTarget;

// Reads the background and the used slots' pictures named by `layout` from
// `folder` (ending in '/'), every file before anything is drawn. For a page,
// a JPEG picture with pixels to spare is decoded at a half, a quarter or an
// eighth of its size, never below PagePixelsPerInch over its slot. Raises
// ECardError naming a file that cannot be read.
TCardPictures LoadCardPictures(const CardLayout &layout, const QString &folder);
TCardPictures LoadCardPictures(const CardLayout &layout, const QString &folder, TCardTarget target);

// Everything a card is drawn from.
struct TCardScene {
    CardLayout Layout;
    TCardPictures Pictures;
    std::vector<TCardTextBox> Texts;
};

// What the drawing is for.
enum class TCardTarget {
    // The card's own 96 pixels an inch on a bitmap of its size: the screen's
    // canvas and the exported picture. Each picture is stretched from its
    // own pixels straight onto the card's, pixel for pixel as the program
    // always drew it.
    CardPixels,
    // A page of a printer or a PDF: each picture is handed to the device at
    // its own resolution, downsampled where it has more than PagePixelsPerInch
    // on the page; the background and pictures that are drawings are kept
    // lossless, photographs (LooksLikePhoto) may be stored as JPEG.
    Page,
};

// Above this a picture's pixels are finer than any print shows.
inline constexpr double PagePixelsPerInch = 300.0;

// True when the picture looks like a photograph: many colours, as a drawing
// or a painted background with flat areas and gradients does not have.
bool LooksLikePhoto(const QImage &picture);

// The card's canvas: white, the pictures, then the background over them.
void PaintCardCanvas(QPainter &painter, const CardLayout &layout, const TCardPictures &pictures, TCardTarget target);

// One text box, its whole text laid out as on the card's 96-dpi bitmap (so
// its lines break where they break on the screen) and drawn at the device's
// resolution, cut at the box's lower edge. A box without area draws nothing.
// Raises ECardError when the text cannot be drawn.
void DrawCardTextBox(QPainter &painter, const TCardTextBox &box);

// The whole card: the canvas, then the boxes in order (a later over an
// earlier one), clipped to the card.
void PaintCard(QPainter &painter, const TCardScene &scene, TCardTarget target);
