#include "richtext/rtf_keywords.h"

#include <QTextListFormat>

#include <unordered_map>

namespace rtf {

namespace {

using Map = std::unordered_map<std::string_view, KeywordInfo>;

Map MakeKeywords()
{
    Map map{
        {"rtf", {Keyword::Rtf}},
        {"ansi", {Keyword::Ansi}},
        {"mac", {Keyword::Mac}},
        {"pc", {Keyword::Pc}},
        {"pca", {Keyword::Pca}},
        {"ansicpg", {Keyword::AnsiCodePage}},
        {"deff", {Keyword::DefaultFont}},
        {"fonttbl", {Keyword::FontTable}},
        {"colortbl", {Keyword::ColourTable}},
        {"fcharset", {Keyword::FontCharset}},
        {"cpg", {Keyword::FontCodePage}},
        {"red", {Keyword::Red}},
        {"green", {Keyword::Green}},
        {"blue", {Keyword::Blue}},
        {"plain", {Keyword::Plain}},
        {"f", {Keyword::Font}},
        {"fs", {Keyword::FontSize}},
        {"cf", {Keyword::Colour}},
        {"cb", {Keyword::Highlight}},
        {"highlight", {Keyword::Highlight}},
        {"chcbpat", {Keyword::Highlight}},
        {"b", {Keyword::Bold}},
        {"i", {Keyword::Italic}},
        {"ulnone", {Keyword::UnderlineNone}},
        {"strike", {Keyword::Strike}},
        {"striked", {Keyword::Strike}},
        {"super", {Keyword::Super}},
        {"sub", {Keyword::Sub}},
        {"nosupersub", {Keyword::NoSuperSub}},
        {"up", {Keyword::Raise}},
        {"dn", {Keyword::Lower}},
        {"loch", {Keyword::SingleByte}},
        {"hich", {Keyword::SingleByte}},
        {"dbch", {Keyword::DoubleByte}},
        {"af", {Keyword::AssociatedFont}},
        {"afs", {Keyword::AssociatedFontSize}},
        {"v", {Keyword::Hidden}},
        {"pard", {Keyword::ParagraphDefault}},
        {"ql", {Keyword::AlignLeft}},
        {"qc", {Keyword::AlignCentre}},
        {"qr", {Keyword::AlignRight}},
        {"qj", {Keyword::AlignJustify}},
        {"qd", {Keyword::AlignJustify}},
        {"li", {Keyword::LeftIndent}},
        {"lin", {Keyword::LeftIndent}},
        {"ri", {Keyword::RightIndent}},
        {"rin", {Keyword::RightIndent}},
        {"fi", {Keyword::FirstIndent}},
        {"sb", {Keyword::SpaceBefore}},
        {"sa", {Keyword::SpaceAfter}},
        {"sl", {Keyword::LineSpacing}},
        {"slmult", {Keyword::LineMultiple}},
        {"par", {Keyword::Paragraph}},
        {"sect", {Keyword::SectionBreak}},
        {"page", {Keyword::SectionBreak}},
        {"row", {Keyword::Paragraph}},
        {"nestrow", {Keyword::Paragraph}},
        {"line", {Keyword::Line}},
        {"tab", {Keyword::Tab}},
        {"cell", {Keyword::Tab}},
        {"nestcell", {Keyword::Tab}},
        {"u", {Keyword::Unicode}},
        {"uc", {Keyword::UnicodeSkip}},
        {"emdash", {Keyword::Character, u'\u2014'}},
        {"endash", {Keyword::Character, u'\u2013'}},
        {"emspace", {Keyword::Character, u'\u2003'}},
        {"enspace", {Keyword::Character, u'\u2002'}},
        {"qmspace", {Keyword::Character, u'\u2005'}},
        {"bullet", {Keyword::Character, u'\u2022'}},
        {"lquote", {Keyword::Character, u'\u2018'}},
        {"rquote", {Keyword::Character, u'\u2019'}},
        {"ldblquote", {Keyword::Character, u'\u201C'}},
        {"rdblquote", {Keyword::Character, u'\u201D'}},
        {"zwj", {Keyword::Character, u'\u200D'}},
        {"zwnj", {Keyword::Character, u'\u200C'}},
        {"field", {Keyword::Field}},
        {"fldinst", {Keyword::FieldInstruction}},
        {"fldrslt", {Keyword::FieldResult}},
        {"pn", {Keyword::NumberingGroup}},
        {"pntxtb", {Keyword::NumberingTextBefore}},
        {"pntxta", {Keyword::NumberingTextAfter}},
        {"pntext", {Keyword::NumberingShownText}},
        {"listtext", {Keyword::NumberingShownText}},
        {"pnlvlblt", {Keyword::NumberingBullet}},
        {"pnlvlbody", {Keyword::NumberingBody}},
        {"pnlvl", {Keyword::NumberingLevel}},
        {"pndec", {Keyword::NumberingStyle, 0, QTextListFormat::ListDecimal}},
        {"pnlcltr", {Keyword::NumberingStyle, 0, QTextListFormat::ListLowerAlpha}},
        {"pnucltr", {Keyword::NumberingStyle, 0, QTextListFormat::ListUpperAlpha}},
        {"pnlcrm", {Keyword::NumberingStyle, 0, QTextListFormat::ListLowerRoman}},
        {"pnucrm", {Keyword::NumberingStyle, 0, QTextListFormat::ListUpperRoman}},
        {"listtable", {Keyword::ListTable}},
        {"listoverridetable", {Keyword::ListOverrideTable}},
        {"list", {Keyword::List}},
        {"listlevel", {Keyword::ListLevel}},
        {"leveltext", {Keyword::LevelText}},
        {"listid", {Keyword::ListId}},
        {"listoverride", {Keyword::ListOverride}},
        {"ls", {Keyword::ListOverrideIndex}},
        {"ilvl", {Keyword::ListLevelIndex}},
        {"levelnfc", {Keyword::LevelNumberFormat}},
        {"levelnfcn", {Keyword::LevelNumberFormat}},
    };
    // Every kind of underline is shown as a plain one.
    for (std::string_view word : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb",
                                  "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
                                  "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
                                  "ulw", "ulwave"})
        map.emplace(word, KeywordInfo{Keyword::Underline});
    // Groups whose text is not part of what the document shows.
    for (std::string_view word :
         {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
          "footer", "footerl", "footerr", "footerf", "footnote", "annotation",
          "xe", "tc", "txe", "rxe", "levelnumbers", "listname", "rsidtbl", "generator",
          "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
          "pgdsctbl", "revtbl", "filetbl", "nonshppict", "shp", "do", "template", "userprops",
          "docvar", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
          "listpicture", "liststylename", "fchars", "lchars", "author", "operator", "title", "subject",
          "keywords", "comment", "doccomm", "hlinkbase", "atnid", "atnauthor", "atnref",
          "atndate", "atnicn", "bkmkstart", "bkmkend", "falt", "panose", "fontemb", "fontfile"})
        map.emplace(word, KeywordInfo{Keyword::SkippedDestination});
    return map;
}

} // namespace

bool IsReadDestination(Keyword keyword)
{
    switch (keyword) {
    case Keyword::FontTable:
    case Keyword::ColourTable:
    case Keyword::FieldInstruction:
    case Keyword::FieldResult:
    case Keyword::NumberingGroup:
    case Keyword::NumberingTextBefore:
    case Keyword::NumberingTextAfter:
    case Keyword::NumberingShownText:
    case Keyword::ListTable:
    case Keyword::ListOverrideTable:
    case Keyword::LevelText:
        return true;
    default:
        return false;
    }
}

KeywordInfo LookUpKeyword(std::string_view word)
{
    static const Map keywords = MakeKeywords();
    const auto found = keywords.find(word);
    return found == keywords.end() ? KeywordInfo{} : found->second;
}

} // namespace rtf
