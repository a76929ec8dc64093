#include "richtext/rtf_list_table_writer.h"

#include "richtext/rtf_escape.h"

#include <QTextBlock>
#include <QTextList>

#include <algorithm>
#include <cstdint>

namespace rtf {

namespace {

// \levelnfc of a style: 0 decimal, 1 and 2 upper and lower Roman, 3 and 4
// upper and lower letters, 23 a bullet.
int NumberFormatOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return IsBulletStyle(style) ? 23 : 0;
    }
}

QString BulletOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle: return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare: return QStringLiteral("\u25AA");
    default: return QStringLiteral("\u2022");
    }
}

// A character of \leveltext, which counts characters: one escape each, and
// the ';' that would end the text as a byte.
QByteArray LevelTextCharacter(QChar c)
{
    const char16_t unit = c.unicode();
    if (unit == u';')
        return HexByte(static_cast<unsigned char>(unit));
    if (unit == u'\\' || unit == u'{' || unit == u'}')
        return QByteArray("\\") + static_cast<char>(unit);
    if (unit < 0x7F)
        return QByteArray(1, static_cast<char>(unit));
    return "\\u" + QByteArray::number(static_cast<int16_t>(unit)) + '?';
}

// One level of a list: what stands before the item (a bullet, or the
// level's number between its prefix and suffix) and where the item hangs.
QByteArray LevelDefinition(const std::optional<QTextListFormat> &format, int level)
{
    const QTextListFormat::Style style = format ? format->style() : QTextListFormat::ListDecimal;
    const int numberFormat = NumberFormatOf(style);
    QString before, after;
    if (numberFormat == 23) {
        before = BulletOf(style);
    } else {
        before = format ? NumberAffix(format->numberPrefix()) : QString();
        after = NumberAffix(format ? NumberSuffixOf(*format) : QStringLiteral("."));
    }
    QByteArray text;
    for (const QChar c : before)
        text += LevelTextCharacter(c);
    QByteArray numbers;
    qsizetype length = before.size();
    if (numberFormat != 23) {
        text += HexByte(static_cast<unsigned char>(level));
        numbers = HexByte(static_cast<unsigned char>(++length));
    }
    for (const QChar c : after)
        text += LevelTextCharacter(c);
    length += after.size();

    const QByteArray nfc = QByteArray::number(numberFormat);
    return "{\\listlevel\\levelnfc" + nfc + "\\levelnfcn" + nfc
           + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext" + HexByte(static_cast<unsigned char>(length))
           + text + ";}{\\levelnumbers" + numbers + ";}\\fi-" + QByteArray::number(kTwipsPerListLevel / 2)
           + "\\li" + QByteArray::number((level + 1) * kTwipsPerListLevel) + '}';
}

} // namespace

std::optional<ListTableWriter::Place> ListTableWriter::PlaceOf(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list) {
        m_current = -1;
        return std::nullopt;
    }
    const int level = std::clamp(list->format().indent(), 1, kListLevels) - 1;
    // A list goes on where it was placed while its level there is still
    // open. An item of a shallower level closes it, and a reader starts a
    // new list at the next item below: so does the table, or the file would
    // read back as another document.
    const auto placed = m_places.find(list);
    const bool stillOpen = placed != m_places.end()
                           && m_lists[static_cast<std::size_t>(placed->second.override - 1)]
                                     [static_cast<std::size_t>(level)].open == list;
    const int override = stillOpen ? placed->second.override : JoinOrStart(list, level);
    Enter(override, list, level);
    m_current = override - 1;
    return Place{override, level};
}

int ListTableWriter::JoinOrStart(const QTextList *list, int level)
{
    // A list nested under the item before joins that item's list, unless
    // its level there is taken by another list that is still open or looks
    // different.
    if (m_current >= 0 && level > 0) {
        const Level &slot = m_lists[static_cast<std::size_t>(m_current)][static_cast<std::size_t>(level)];
        if (!slot.format || (!slot.open && *slot.format == list->format()))
            return m_current + 1;
    }
    m_lists.emplace_back();
    return static_cast<int>(m_lists.size());
}

void ListTableWriter::Enter(int override, const QTextList *list, int level)
{
    m_places[list] = Place{override, level};
    Levels &levels = m_lists[static_cast<std::size_t>(override - 1)];
    levels[static_cast<std::size_t>(level)].format = list->format();
    levels[static_cast<std::size_t>(level)].open = list;
    // An item closes the lists below its level: the next one there starts
    // counting afresh, as it does in the table's list.
    for (std::size_t deeper = static_cast<std::size_t>(level) + 1; deeper < levels.size(); ++deeper)
        levels[deeper].open = nullptr;
}

QByteArray ListTableWriter::Tables() const
{
    if (m_lists.empty())
        return {};
    QByteArray lists = "{\\*\\listtable";
    QByteArray overrides = "{\\*\\listoverridetable";
    for (std::size_t i = 0; i < m_lists.size(); ++i) {
        const QByteArray id = QByteArray::number(static_cast<qulonglong>(i + 1));
        const Levels &levels = m_lists[i];
        // The levels down to the deepest one used; one skipped on the way
        // is numbered as decimals.
        const auto used = std::find_if(levels.rbegin(), levels.rend(),
                                       [](const Level &level) { return level.format.has_value(); });
        const int count = static_cast<int>(levels.rend() - used);
        lists += "\r\n{\\list\\listtemplateid" + id;
        for (int level = 0; level < count; ++level)
            lists += LevelDefinition(levels[static_cast<std::size_t>(level)].format, level);
        lists += "\\listid" + id + '}';
        overrides += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
    }
    return lists + "}\r\n" + overrides + "}\r\n";
}

} // namespace rtf
