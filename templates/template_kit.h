#pragma once
// What the template generator draws a template from, and how it writes one:
// a card folder (template.bmp, Card.crd, the RTF files, the picture) plus
// preview.jpg, the card as the card renderer draws it, written by the
// program's own JPEG encoder.

#include "card/card_layout.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

struct TemplateText {
    SlotRect Rect;
    QString Family;
    int PointSize = 12;
    bool Bold = false;
    bool Italic = false;
    QColor Colour = Qt::black;
    Qt::Alignment Align = Qt::AlignLeft;
    QStringList Paragraphs;
};

struct TemplatePicture {
    SlotRect Rect;
    QString FileName;
    QImage Image;
};

// The papers the templates are laid out for, each with the paper head the
// paper set dialog gives it at 96 pixels per inch.
enum class TemplatePaper {
    A5Landscape,          // 793 x 559, the default paper
    A6HalfFoldLandscape,  // 793 x 561
    HagakiLandscape,      // 755 x 559
    HagakiPortrait,       // 559 x 755
    SixByEightPortrait,   // 576 x 768
    LetterLandscape,      // 1056 x 816
};
PaperSettings PaperSettingsFor(TemplatePaper paper);
QSize CardSizeOf(TemplatePaper paper);

// A template's background is drawn this many times finer than the card's
// pixels (288 pixels an inch): it is stretched over the card, so the screen
// and the exported bitmap show it averaged down to the card's pixels, while
// a printer or a PDF gets it at a resolution that prints sharply.
constexpr int TemplateBackgroundScale = 3;

struct TemplateDesign {
    QString Name;
    TemplatePaper Paper = TemplatePaper::A5Landscape;
    // TemplateBackgroundScale times the card's pixel size, with that device
    // pixel ratio: a painter on it paints in card pixels.
    QImage Background;
    QRgb TransparentColour = 0;  // meaningful only with pictures
    std::vector<TemplatePicture> Pictures;
    std::vector<TemplateText> Texts;

    // The card's size in card pixels, in which every design paints.
    double Width() const { return Background.deviceIndependentSize().width(); }
    double Height() const { return Background.deviceIndependentSize().height(); }
    QRectF Rect() const { return QRectF(QPointF(0, 0), Background.deviceIndependentSize()); }
};

// The key colour the templates paint their picture windows in.
constexpr QRgb WindowKey = 0xFFFF00FF;

// A design named `name` for `paper`, its background of the paper's card
// size filled with `ground`, ready to paint on.
TemplateDesign StartDesign(const QString &name, TemplatePaper paper, QColor ground);

// Makes `picture` the card's picture ("picture.bmp"), stretched over the
// bounds of `window`, which the background paints in WindowKey.
void AddWindowPicture(TemplateDesign &design, const QRect &window, const QImage &picture);

// The shipped templates, one design per file in designs/.
TemplateDesign BirthdayTemplate();
TemplateDesign PostcardTemplate();
TemplateDesign ThankYouTemplate();
TemplateDesign WeddingTemplate();
TemplateDesign NewBabyTemplate();
TemplateDesign SeasonsGreetingsTemplate();
TemplateDesign GetWellTemplate();
TemplateDesign CongratulationsTemplate();

// Writes the template into `folder` (created when missing). Raises
// std::runtime_error (or a file or card error) when a file cannot be written.
void WriteTemplate(const TemplateDesign &design, const QString &folder);

// RTF text of one text box, in the plain conventions every RTF reader knows.
QByteArray TemplateRtf(const TemplateText &text);
