#pragma once
// The finished card as one picture: the composed canvas (background and
// pictures) with every text box drawn over it. The window's exports, Temp.bmp
// for printing, the command-line renderer and the template previews all come
// from here, so what is shown, exported and printed cannot disagree.
//
// Plain data in, a picture out: no widget is involved. Text is laid out by
// RenderRichText at the picture's own 96 dpi, exactly as a text box lays it
// out on a 96 dpi screen.

#include "card/card_layout.h"
#include "card/card_painter.h"
#include "report/length.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QTextDocument;

// The resolution of every rendered card picture.
constexpr int CardPixelsPerInch = static_cast<int>(TLength::CardPixelsPerInch);

// The JPEG export codes the rendered card's BMP file (ConvertBmpToJpeg) at
// this quality level: every quantizer 1, so only the colour conversion's
// rounding is lost.
constexpr int CardJpegQuality = 9;

// The canvas with the boxes drawn over it in the order given (a later box
// over an earlier one), as a 24-bit picture (QImage::Format_RGB888) of the
// canvas's size at 96 dpi, which its BMP file (WritePictureBmp) carries. Raises ECardError for a null canvas or a box
// that cannot be drawn: a card is never exported with a text missing.
QImage RenderCardImage(const QImage &canvas, const std::vector<TCardTextBox> &boxes);

// The same from the layout: the canvas is ComposeCard(layout, folder), so
// the pictures and the background are read from `folder` (ending in '/').
QImage RenderCardImage(const CardLayout &layout, const QString &folder, const std::vector<TCardTextBox> &boxes);

// The text boxes of a card folder as the design surface creates them: one
// per used text slot, in slot order, at the slot's rectangle, its document
// read from N.rtf as the box reads it.
class TCardTexts {
public:
    // Raises ECardError naming the file that cannot be read.
    TCardTexts(const CardLayout &layout, const QString &folder);
    ~TCardTexts();
    TCardTexts(const TCardTexts &) = delete;
    TCardTexts &operator=(const TCardTexts &) = delete;

    const std::vector<TCardTextBox> &Boxes() const { return m_boxes; }

private:
    std::vector<std::unique_ptr<QTextDocument>> m_documents;
    std::vector<TCardTextBox> m_boxes;
};

// The card held in `folder` (ending in '/') as the painter draws it at any
// resolution: `layout`, its pictures read from the folder, and `texts`
// (which must outlive the scene). Raises ECardError naming a file that
// cannot be read.
TCardScene ReadCardScene(const CardLayout &layout, const QString &folder, const TCardTexts &texts);

// The layout of the card held in `folder` (ending in '/'), read as Open
// reads it (a short Card.crd takes template.bmp as its background) but
// without writing anything. Raises ECardError when the folder holds no
// Card.crd or it cannot be read.
CardLayout ReadCardFolderLayout(const QString &folder);

// Renders the card held in `folder` (ending in '/'): its pictures and texts,
// placed by `layout` (or by the folder's own Card.crd). Only regular files
// are read. Raises ECardError (or a file error) with the reason.
QImage RenderCardFolder(const QString &folder, const CardLayout &layout);
QImage RenderCardFolder(const QString &folder);
