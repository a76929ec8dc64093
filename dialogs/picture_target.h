#pragma once
// Which file the picture dialog may write: the card's first picture, named
// by the layout, in the card folder and nowhere else.

#include "card/card_layout.h"

#include <QString>

// The full path of the first picture slot's file: `cardFolder` (ending in
// '/') followed by the slot's file name. Raises ECardError, and nothing may
// then be written, when that name could put the picture anywhere but a
// picture file of the card folder: an empty or blank name, "." or "..", a
// name holding a path separator ('/' or '\'), and so an absolute path, or
// one of the card's own files (Card.crd, the background, 0.rtf to 4.rtf).
// When the file exists it must also be a file of the card folder itself,
// not a link that leads out of it.
QString CardPictureTarget(const QString &cardFolder, const CardLayout &layout);
