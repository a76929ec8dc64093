#pragma once
// Opening a card: everything the card needs (layout, composed picture, the
// text of every used slot) is read and checked into plain data first, so a
// card that cannot be opened changes nothing on screen. The window then
// shows the loaded card in one step that cannot fail on a file.

#include "card/card_layout.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>

struct TLoadedCard {
    QString BackgroundPath;          // the card's template.bmp
    QString Folder;                  // its folder, ending in '/'
    CardLayout Layout;
    QImage Picture;                  // the composed card
    std::array<QByteArray, 5> Texts; // the RTF of each used text slot, checked
};

// The layout in the Card.crd of the folder of `backgroundPath`, laid over
// the fresh layout. A file too short to hold the background's name takes the
// name of `backgroundPath` (template.bmp). Raises ECardError naming the file
// when it is missing or cannot be read.
CardLayout ReadCardLayout(const QString &backgroundPath);

// The layout of the card whose background is `backgroundPath`: its folder's
// Card.crd laid over the fresh layout or, when there is none, a default
// Card.crd written there first. A file too short to hold the background's
// name takes the name of `backgroundPath` (template.bmp), the background the
// caller has just found. Raises ECardError naming the file.
CardLayout LoadCardLayout(const QString &backgroundPath);

// The RTF file of text slot `slot` in `folder`, read and checked as the text
// boxes will read it. Raises ECardError naming the file.
QByteArray ReadCardText(const QString &folder, int slot);

// The whole card. Raises ECardError (or the codec's error) naming the file
// that stopped it.
TLoadedCard LoadCard(const QString &backgroundPath);
