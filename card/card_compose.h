#pragma once
// Composition of the card image: the pictures first, then the background over
// them, the background's transparent colour letting the pictures show through.

#include "card/card_layout.h"

#include <QImage>
#include <QString>

#include <cstdint>

// True when BackgroundFile, trimmed of blanks and control characters, names a file.
bool HasBackground(const CardLayout &layout);

// The composed card at CardWidth x CardHeight. Files are resolved as
// picPath + name; with no background named the pictures lie on white.
// Raises ECardError for an unusable card size or a picture that cannot be
// read (a file that is not a regular file included); nothing is drawn
// anywhere in that case.
QImage ComposeCard(const CardLayout &layout, const QString &picPath);

// The same from pictures already read (an open card holds its own), so
// nothing is read from disk. Raises ECardError for an unusable card size.
struct TCardPictures;
QImage ComposeCard(const CardLayout &layout, const TCardPictures &pictures);

// Loads a picture file as an opaque bitmap through the program's picture
// readers (pictures/picture_file.h), chosen by the file's first bytes
// (BMP, JPEG) or else by its name; a JPEG stands as its Exif orientation
// says. Another format Qt reads is read by Qt, any alpha bytes ignored.
// Raises ECardError naming the file when it cannot be read.
QImage LoadCardPicture(const QString &path);
// The same, refusing (before its memory is taken) a picture of more than
// `maxPixels` pixels.
QImage LoadCardPicture(const QString &path, int64_t maxPixels);

// What one card may take in memory: its canvas, its pictures and its
// background together.
constexpr int64_t CardMemoryBudget = int64_t(400) << 20;

// True when the two layouts give the same card image: card size, the paper's
// reserved values, transparent colour, background name and both picture slots.
bool LayoutsEqual(const CardLayout &a, const CardLayout &b);
bool RectsEqual(const SlotRect &a, const SlotRect &b);
