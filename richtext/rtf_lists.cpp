#include "richtext/rtf_lists.h"

#include <algorithm>

namespace rtf {

namespace {

ListItem MakeItem(const QString &key, int level, QTextListFormat::Style style,
                  const QString &prefix, const QString &suffix)
{
    ListItem item;
    item.key = key;
    item.level = std::clamp(level, 0, kListLevels - 1);
    item.format.setStyle(style);
    item.format.setIndent(item.level + 1);
    if (!IsBulletStyle(style)) {
        item.format.setNumberPrefix(NumberAffix(prefix));
        item.format.setNumberSuffix(NumberAffix(suffix));
    }
    return item;
}

// \levelnfc values that are not a kind of number Qt lists know are counted
// in decimal.
QTextListFormat::Style StyleOfNumberFormat(int format)
{
    switch (format) {
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    default: return QTextListFormat::ListDecimal;
    }
}

} // namespace

void ListTables::FinishOverride()
{
    if (pendingOverride > 0 && overrides.size() < static_cast<qsizetype>(kMaxLists))
        overrides.insert(pendingOverride, pendingListId);
    pendingOverride = 0;
    pendingListId = 0;
}

bool IsBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
           || style == QTextListFormat::ListSquare || style == QTextListFormat::ListStyleUndefined;
}

QString NumberAffix(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return text.left(100);
}

QString NumberSuffixOf(const QTextListFormat &format)
{
    return format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix() : QStringLiteral(".");
}

QTextListFormat::Style BulletStyleOf(const QString &bullet)
{
    const QString mark = bullet.trimmed();
    if (mark.isEmpty())
        return QTextListFormat::ListDisc;
    switch (mark.front().unicode()) {
    case u'o': case u'O': case 0x25E6: case 0x25CB: case 0x26AA:
        return QTextListFormat::ListCircle;
    // Wingdings' square is § (0xA7) in its own code page.
    case 0x00A7: case 0x25AA: case 0x25A0: case 0x25A1: case 0x25AB: case 0xF0A7:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

ListItem ItemOfNumbering(const Numbering &numbering, int leftIndent)
{
    // The first level up to three quarters of an inch, then one a half inch.
    const int indent = std::clamp(leftIndent, 0, kListLevels * kTwipsPerListLevel);
    const int level = std::max(0, (indent + kTwipsPerListLevel / 2) / kTwipsPerListLevel - 1);
    if (numbering.bullet)
        return MakeItem(QStringLiteral("pn"), level, BulletStyleOf(numbering.before), {}, {});
    return MakeItem(QStringLiteral("pn"), level, numbering.style, numbering.before, numbering.after);
}

std::optional<ListItem> ItemOfListTable(const ListTables &tables, int override, int level)
{
    const auto listId = tables.overrides.constFind(override);
    if (listId == tables.overrides.constEnd())
        return std::nullopt;
    const auto list = std::find_if(tables.lists.begin(), tables.lists.end(),
                                   [&](const ListDefinition &entry) { return entry.id == *listId; });
    if (list == tables.lists.end())
        return std::nullopt;
    level = std::clamp(level, 0, kListLevels - 1);
    const ListLevel defined = static_cast<std::size_t>(level) < list->levels.size()
                                  ? list->levels[static_cast<std::size_t>(level)]
                                  : ListLevel{};
    if (defined.numberFormat == 255)
        return std::nullopt; // a level without number or bullet
    // \leveltext: its first character counts those that follow; characters
    // below 9 stand for the numbers of the levels.
    const QString text = defined.text.mid(1, defined.text.isEmpty() ? 0 : defined.text.front().unicode());
    const QString key = QStringLiteral("list%1").arg(*listId);
    if (defined.numberFormat == 23)
        return MakeItem(key, level, BulletStyleOf(text), {}, {});
    const auto placeholder = [](QChar c) { return c.unicode() < 9; };
    const auto first = std::find_if(text.begin(), text.end(), placeholder);
    const auto last = std::find_if(text.rbegin(), text.rend(), placeholder);
    QString prefix, suffix = QStringLiteral(".");
    if (first != text.end()) {
        prefix = QString(text.begin(), first - text.begin());
        suffix = QString(last.base(), text.end() - last.base());
    }
    return MakeItem(key, level, StyleOfNumberFormat(defined.numberFormat), prefix, suffix);
}

} // namespace rtf
