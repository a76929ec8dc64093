#pragma once
// The faces of a card and where they are kept.
//
// The outside face is the card as it always was: the card folder's own
// template.bmp, Card.crd, N.rtf and pictures. The inside face, when the card
// has one, is a card folder of its own named Inside/ within it, with the same
// files. A program that knows nothing of insides therefore opens, edits and
// saves the outside as before and carries Inside/ along untouched (New
// copies the whole template folder), and a card without an inside has
// exactly the files it always had.
//
// The fold kind is kept in Card.fold beside Card.crd: one word and a line
// end (see card/fold_kind.h). No file means a flat one-sided card, so such
// a card is written byte for byte as before. Card.crd has reserved bytes, but
// none would do: the paper head's reserved values are zeroed by every Paper
// Set and take part in deciding whether the picture is recomposed, and the
// other reserved bytes travel unchanged from templates whose contents nobody
// has checked, so a value found there proves nothing. Programs that know
// nothing of folds never open Card.fold and never delete it.
//
// Errors raise ECardError with a message for the user.

#include "card/card_layout.h"
#include "card/fold_kind.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <string>
#include <vector>

enum class TCardFace { Outside, Inside };

// "Inside": the inside's folder within the card folder.
extern const QString InsideFolderName;
// "Card.fold": the file beside Card.crd that holds the fold kind.
extern const QString FoldFileName;

// The folder (ending in '/') that holds `face` of the card in `cardFolder`
// (ending in '/'), whether or not that face exists.
QString FaceFolder(const QString &cardFolder, TCardFace face);

// True when the card has an inside: Inside/ is a folder (not a link, which
// a copy of the card would not follow) holding a template.bmp, which is what
// Open asks of a card folder too.
bool HasInside(const QString &cardFolder);
// The faces the card has: the outside, then the inside when there is one.
std::vector<TCardFace> CardFaces(const QString &cardFolder);

// The card a folder belongs to: for the Inside/ folder of a card (a folder
// named Inside within a folder holding a Card.crd or a template.bmp) its
// card's folder, so that choosing the inside's Card.crd in Open opens the
// whole card; any other folder as it is. Both end in '/'.
QString CardFolderOfFace(const QString &folder);

// The fold kind of the card in `cardFolder`: Card.fold read, or flat
// one-sided when there is no such file. A Card.fold that is not a regular
// file, cannot be read, is longer than any fold's word or names no fold
// this program knows raises ECardError naming the file, rather than printing
// the card folded the wrong way.
TFoldKind ReadFoldKind(const QString &cardFolder);
// The path of Card.fold and what it holds for `fold`: nothing for a flat
// one-sided card, which has no such file. For a Save that writes all of a
// card's files together.
QString FoldFilePath(const QString &cardFolder);
std::optional<std::string> FoldFileContents(TFoldKind fold);
// Writes Card.fold through the atomic writer, or removes it for a flat
// one-sided card.
void WriteFoldKind(const QString &cardFolder, TFoldKind fold);

// A new, empty inside for a card whose outside has `outside` as its layout:
// the outside's paper and size, a white background and one empty text box
// where a message goes (the right-hand panel of a folded card, the middle of
// a flat card's back).
struct TNewInside {
    CardLayout Layout;
    QImage Background;
    int MessageSlot = 0;
    QByteArray MessageRtf;
};
TNewInside NewInside(const CardLayout &outside, TFoldKind fold);

// Writes the inside into the card's Inside/ folder. It is written into a
// hidden folder first and renamed into place, so an inside is either whole
// or not there. Raises ECardError when the card has an Inside/ already or a
// file cannot be written.
void WriteInside(const QString &cardFolder, const TNewInside &inside);
// NewInside and WriteInside in one.
void CreateInside(const QString &cardFolder, const CardLayout &outside, TFoldKind fold);

// Removes the card's Inside/ folder and everything in it; nothing when there
// is none. It is renamed aside first, so the card is never left with half an
// inside. A link named Inside is removed, never followed.
void RemoveInside(const QString &cardFolder);
