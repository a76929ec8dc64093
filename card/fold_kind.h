#pragma once
// How a card's paper is folded, and so how its faces are laid on the sheets
// that are printed. The words are those of Card.fold and of the renderer's
// --fold option.

#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

enum class TFoldKind {
    FlatOneSided,  // one face on one side of the paper, as every card was before insides
    FlatTwoSided,  // a postcard or invitation: the inside is its back
    HalfFold,      // the paper folded once: outside back | front, inside left | right
    QuarterFold,   // a sheet of twice the paper folded twice, printed on one side
};

constexpr std::array<TFoldKind, 4> AllFoldKinds = {TFoldKind::FlatOneSided, TFoldKind::FlatTwoSided,
                                                   TFoldKind::HalfFold, TFoldKind::QuarterFold};

// "flat", "two-sided", "half", "quarter".
QString FoldKindWord(TFoldKind fold);
// The word of a fold, blanks and line ends around it ignored; nothing for
// any other text.
std::optional<TFoldKind> ParseFoldKind(QByteArrayView text);

// What a person reads in a list: "Flat, one side", "Flat, two sides",
// "Half-fold", "Quarter-fold".
QString FoldKindCaption(TFoldKind fold);

// True when the fold prints a second face (the inside or the back).
bool FoldHasSecondFace(TFoldKind fold);
// True when the card is folded along the middle of its faces, so that each
// face is two panels side by side (left | right).
bool FoldHasPanels(TFoldKind fold);
