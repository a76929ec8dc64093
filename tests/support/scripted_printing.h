#pragma once
// Printing for tests: printer dialogs answered from a script (a PDF file
// chosen as the printer, or cancel) and the printed PDF read back through
// poppler-utils. A preview is driven with TModalScript (modal_script.h).

#include "card/paper_config.h"
#include "dialogs/printer_dialogs.h"

#include <QColor>
#include <QRectF>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

class TScriptedPrinterDialogs : public TPrinterDialogs {
public:
    // The file the next set-up chooses ("Print to file (PDF)"); empty = cancel.
    QString PdfFile;
    QStringList Titles;  // the title of every dialog shown

    bool SetUpPrinter(QPrinter &printer, QWidget *parent, TPrinterChoice choice) override;
};

// The PDF's page count and page size, as `pdfinfo` reports them; nothing
// when poppler-utils cannot be run.
struct TPdfInfo {
    int Pages = 0;
    QString PageSize;  // for example "792 x 612 pts (letter)"
};
std::optional<TPdfInfo> ReadPdfInfo(const QString &pdf);

// Page 1 of the PDF rendered at 96 dpi, where a card pixel is a page pixel;
// a null image when it cannot be rendered. Rendered by poppler's pdftocairo,
// which puts a picture's edges where the page says; pdftoppm draws a picture
// at 1:1 half a pixel out.
QImage RenderPdfPage(const QString &pdf);

// Page 1 rendered at `dpi` (pdftocairo); a null image when it cannot be.
QImage RenderPdfPageAt(const QString &pdf, int dpi);

// The PDF's text as pdftotext gives it, words separated by single blanks.
std::optional<QString> PdfText(const QString &pdf);

// A font of the PDF as pdffonts lists it.
struct TPdfFont {
    QString Name;  // without the subset tag
    bool Embedded = false;
};
std::optional<std::vector<TPdfFont>> PdfFonts(const QString &pdf);

// An image of the PDF as pdfimages -list lists it.
struct TPdfImage {
    QString Type;      // "image", "mask", "smask", "stencil"
    int Width = 0;
    int Height = 0;
    QString Encoding;  // "jpeg" for a JPEG, "image" for a lossless one
    int PpiX = 0;
    int PpiY = 0;
};
std::optional<std::vector<TPdfImage>> PdfImages(const QString &pdf);

// The PDF page's boxes, in points, as pdfinfo -box reports them.
struct TPdfBoxes {
    QRectF Media, Crop, Bleed, Trim;
};
std::optional<TPdfBoxes> PdfPageBoxes(const QString &pdf);

// Peak signal-to-noise ratio of two pictures of one size over their RGB
// channels, in dB (infinite for equal pictures).
double Psnr(const QImage &a, const QImage &b);

// Colours equal within what the PDF round trip may change (poppler may give
// 254 for 255).
bool NearColour(QColor actual, QColor expected, int tolerance = 2);

// The fresh paper head with paper list entry `index` and `orientation`
// (0 portrait, 1 landscape); the custom half-fold A6 (entry 6) carries its
// 148.5 x 210 mm, as the paper dialog stores it.
PaperSettings PaperOf(int index, int orientation);

// A card picture whose flipped, shifted or scaled print shows at once: red
// with a blue top-left quarter and a green last column.
QImage QuarteredCard(int width, int height);

// The page, rendered at 96 dpi (RenderPdfPage), holds a QuarteredCard of
// `card`'s size at its top-left corner, a card pixel to a page pixel, and
// is white beyond the card's right and lower edges where the page goes on.
::testing::AssertionResult PageShowsQuarteredCard(const QImage &page, QSize card);
