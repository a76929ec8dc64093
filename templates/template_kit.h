#pragma once
// What the template generator draws a template from, and how it writes one:
// a card folder (template.bmp, Card.crd, the RTF files, the picture) plus
// preview.jpg, the card with its texts as the new-card dialog shows it.

#include "card/card_layout.h"

#include <QColor>
#include <QImage>
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

struct TemplateDesign {
    QString Name;
    QImage Background;           // at the card's pixel size
    QRgb TransparentColour = 0;  // meaningful only with pictures
    std::vector<TemplatePicture> Pictures;
    std::vector<TemplateText> Texts;
};

// The key colour the templates paint their picture windows in.
constexpr QRgb WindowKey = 0xFFFF00FF;

TemplateDesign BirthdayTemplate();
TemplateDesign PostcardTemplate();
TemplateDesign ThankYouTemplate();

// Writes the template into `folder` (created when missing). Raises
// std::runtime_error when a file cannot be written.
void WriteTemplate(const TemplateDesign &design, const QString &folder);

// RTF text of one text box, in the plain conventions every RTF reader knows.
QByteArray TemplateRtf(const TemplateText &text);
