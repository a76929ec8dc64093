#pragma once
// What the RTF reader carries from group to group: the character and
// paragraph properties in effect, the destination the text goes to and the
// \uc fallback count. Each '{' saves this state and the matching '}' restores
// it. Lengths are kept in the file's units (twips, half-points) until the
// formats for the document are made.

#include "richtext/rtf_lists.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QTextFormat>

#include <vector>

namespace rtf {

enum class Destination {
    Text,        // the document's text
    FontTable,   // \fonttbl entries
    ColourTable, // \colortbl entries
    FieldInstruction, // \fldinst: what a field is (HYPERLINK "...")
    Numbering,        // \pn: how the paragraph is numbered
    NumberingBefore,  // \pntxtb
    NumberingAfter,   // \pntxta
    ShownNumber,      // \pntext, \listtext: the number as text, for readers without lists
    ListTable,        // \listtable
    ListOverrideTable, // \listoverridetable
    LevelText,        // \leveltext of a list level
};

enum class VerticalPosition { Normal, Super, Sub };

struct CharProps {
    int font = -1;        // font table index; -1 = the document's default font
    int halfPoints = 24;  // \fs
    int colour = 0;       // colour table index; 0 = automatic
    int highlight = 0;    // colour table index; 0 = none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    QString link;         // the target of the HYPERLINK field the text is the result of
    VerticalPosition vertical = VerticalPosition::Normal;
    // Text marked \dbch (double-byte: Chinese, Japanese, Korean) takes the
    // associated font and size (\af, \afs) given while it is so marked.
    bool doubleByte = false;
    int associatedFont = -1;
    int associatedHalfPoints = 0;

    int EffectiveHalfPoints() const
    {
        return doubleByte && associatedHalfPoints > 0 ? associatedHalfPoints : halfPoints;
    }
};

struct ParaProps {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;   // \li, twips
    int rightIndent = 0;  // \ri
    int firstIndent = 0;  // \fi
    int spaceBefore = 0;  // \sb
    int spaceAfter = 0;   // \sa
    int lineSpacing = 0;  // \sl: > 0 at least, < 0 exactly, 0 single
    bool lineMultiple = false; // \slmult1: \sl counts 240ths of a single line
    Numbering numbering;  // \pn
    int listOverride = 0; // \ls; 0 = none
    int listLevel = 0;    // \ilvl
};

struct GroupState {
    CharProps chars;
    ParaProps para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc: fallback characters after each \uN
};

struct FontEntry {
    QString name;
    int charset = 0;
    int codePage = 0; // 0 = the document's
};

// The document's font and colour tables.
struct Tables {
    QHash<int, FontEntry> fonts;
    std::vector<QColor> colours; // index 0 is "automatic" (an invalid colour)
    ListTables lists;
    int defaultFont = 0;
    int codePage = 1252;

    // The list a paragraph with `props` is an item of, if any.
    std::optional<ListItem> ListItemOf(const ParaProps &props) const;

    // The font table index text with `props` is shown in: the associated
    // font for double-byte text when the table has it, else \f, else \deff.
    int FontOf(const CharProps &props) const;
    // The code page of text in `font`.
    int CodePageOf(int font) const;
    // The character format of text with these properties.
    QTextCharFormat CharFormat(const CharProps &props) const;
};

// A list item's block: its left indent is what is left of the paragraph's
// once the list has taken its levels' share (kTwipsPerListLevel each).
QTextBlockFormat BlockFormat(const ParaProps &props, const std::optional<ListItem> &item = {});

} // namespace rtf
