#pragma once
// Card folders for tests, written from plain data: a background with no
// symmetry (so a flipped or shifted picture shows), a picture behind a window
// of the key colour, and RTF text boxes in DejaVu Sans, a font the packages
// install, so that rendered text is the same on every machine.

#include "card/card_layout.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

struct TFixtureText {
    int Slot = 0;
    SlotRect Rect;
    QByteArray Rtf;
};

struct TFixtureCard {
    int Width = 793;
    int Height = 559;
    bool WithPicture = true;
    SlotRect PictureRect{60, 50, 300, 230};
    std::vector<TFixtureText> Texts;
};

// A text box's RTF: each paragraph in DejaVu Sans at `pointSize`.
QByteArray FixtureRtf(const QStringList &paragraphs, int pointSize = 14);

// Five boxes of a few lines each, spread over a card of `width` x `height`.
std::vector<TFixtureText> FiveFixtureTexts(int width, int height);

// Writes the card into `folder` (created; ending in '/'): template.bmp,
// picture.bmp when used, N.rtf and Card.crd. Returns the layout written.
CardLayout WriteFixtureCard(const QString &folder, const TFixtureCard &card);

// The pixels of a BMP file read back by the program's own decoder, as an
// opaque QImage (null when the decoder refuses the file).
QImage ReadBmpWithOwnDecoder(const QString &path);
