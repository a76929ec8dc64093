#include "richtext/rtf_reader_state.h"

#include "report/length.h"

#include <QFont>

#include <algorithm>

namespace rtf {

namespace {

// Document lengths are card pixels (96 dpi): 15 twips each.
constexpr double kTwipsPerPixel = TLength::TwipsPerPixel(TLength::CardPixelsPerInch);
// No paragraph of a card is indented or spaced by more than this (22 inches).
constexpr int kMaxTwips = 31680;

double TwipsToDocument(int twips)
{
    return std::clamp(twips, -kMaxTwips, kMaxTwips) / kTwipsPerPixel;
}

} // namespace

int Tables::FontOf(const CharProps &props) const
{
    if (props.doubleByte && props.associatedFont >= 0 && fonts.contains(props.associatedFont))
        return props.associatedFont;
    return props.font < 0 ? defaultFont : props.font;
}

int Tables::CodePageOf(int font) const
{
    const auto found = fonts.constFind(font);
    if (found != fonts.constEnd() && found->codePage > 0)
        return found->codePage;
    return codePage;
}

QTextCharFormat Tables::CharFormat(const CharProps &props) const
{
    QTextCharFormat format;
    const auto font = fonts.constFind(FontOf(props));
    if (font != fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(std::clamp(props.EffectiveHalfPoints(), 2, 3276) / 2.0);
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setFontUnderline(props.underline);
    format.setFontStrikeOut(props.strike);
    switch (props.vertical) {
    case VerticalPosition::Super:
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case VerticalPosition::Sub:
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    case VerticalPosition::Normal:
        break;
    }
    const auto colourAt = [this](int index) {
        return index > 0 && static_cast<size_t>(index) < colours.size() ? colours[index] : QColor();
    };
    if (const QColor colour = colourAt(props.colour); colour.isValid())
        format.setForeground(colour);
    if (const QColor colour = colourAt(props.highlight); colour.isValid())
        format.setBackground(colour);
    if (!props.link.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(props.link);
    }
    return format;
}

std::optional<ListItem> Tables::ListItemOf(const ParaProps &props) const
{
    if (props.listOverride > 0) {
        if (auto item = ItemOfListTable(lists, props.listOverride, props.listLevel))
            return item;
    }
    if (props.numbering.on)
        return ItemOfNumbering(props.numbering, props.leftIndent);
    return std::nullopt;
}

QTextBlockFormat BlockFormat(const ParaProps &props, const std::optional<ListItem> &item)
{
    QTextBlockFormat format;
    format.setAlignment(props.alignment);
    // A paragraph may hang into the margin of a page, but a box has none.
    format.setRightMargin(TwipsToDocument(std::max(props.rightIndent, 0)));
    if (item) {
        // The bullet or number hangs to the left of the text, where the
        // paragraph's negative first-line indent would have put it.
        const int listShare = (item->level + 1) * kTwipsPerListLevel;
        const int indent = std::clamp(props.leftIndent, -kMaxTwips, kMaxTwips);
        format.setLeftMargin(TwipsToDocument(std::max(indent - listShare, 0)));
    } else {
        format.setLeftMargin(TwipsToDocument(std::max(props.leftIndent, 0)));
        format.setTextIndent(TwipsToDocument(props.firstIndent));
    }
    format.setTopMargin(TwipsToDocument(std::max(props.spaceBefore, 0)));
    format.setBottomMargin(TwipsToDocument(std::max(props.spaceAfter, 0)));
    const int spacing = std::clamp(props.lineSpacing, -kMaxTwips, kMaxTwips);
    if (spacing > 0 && props.lineMultiple)
        format.setLineHeight(spacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (spacing > 0)
        format.setLineHeight(spacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (spacing < 0)
        format.setLineHeight(-spacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    return format;
}

} // namespace rtf
