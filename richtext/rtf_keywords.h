#pragma once
// The control words the reader acts on, by what they do. Every other word is
// ignored, as RTF readers must.

#include <string_view>

namespace rtf {

enum class Keyword {
    Unknown,
    // Document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    // Destinations
    FontTable, ColourTable, SkippedDestination,
    Field, FieldInstruction, FieldResult,
    NumberingGroup, NumberingTextBefore, NumberingTextAfter, NumberingShownText,
    ListTable, ListOverrideTable, List, ListLevel, LevelText, ListId, ListOverride,
    ListOverrideIndex, ListLevelIndex, LevelNumberFormat,
    // Paragraph numbering (\pn)
    NumberingBullet, NumberingBody, NumberingLevel, NumberingStyle,
    // Font and colour table entries
    FontCharset, FontCodePage, Red, Green, Blue,
    // Characters
    Plain, Font, FontSize, Colour, Highlight, Bold, Italic, Underline, UnderlineNone,
    Strike, Super, Sub, NoSuperSub, Raise, Lower, Hidden,
    SingleByte, DoubleByte, AssociatedFont, AssociatedFontSize,
    // Paragraphs
    ParagraphDefault, AlignLeft, AlignCentre, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter, LineSpacing, LineMultiple,
    // Text
    Paragraph, SectionBreak, Line, Tab, Unicode, UnicodeSkip, Character,
};

struct KeywordInfo {
    Keyword keyword = Keyword::Unknown;
    char16_t character = 0; // for Keyword::Character
    int style = 0;          // for Keyword::NumberingStyle: a QTextListFormat::Style
};

// Destinations the reader takes in even when they are marked ignorable
// ({\*\fldinst ...}); any other word after \* has its group skipped.
bool IsReadDestination(Keyword keyword);

KeywordInfo LookUpKeyword(std::string_view word);

} // namespace rtf
