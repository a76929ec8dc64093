#pragma once
// Bulleted and numbered paragraphs as RTF describes them, in its two ways:
// paragraph numbering (\pn, which the rich-edit control writes and every
// reader knows) and the list table (\listtable and \listoverridetable with
// \lsN and \ilvlN in the paragraph, as word processors write). Both come out
// as the list a QTextDocument paragraph belongs to.

#include <QHash>
#include <QString>
#include <QTextListFormat>

#include <optional>
#include <vector>

namespace rtf {

// Nesting levels RTF lists have.
inline constexpr int kListLevels = 9;
// A list takes half an inch of its item's left indent a level: there its
// bullet or number stands.
inline constexpr int kTwipsPerListLevel = 720;
// A list table holds no more lists than this; later ones are not read.
inline constexpr std::size_t kMaxLists = 4096;

// One paragraph's \pn group.
struct Numbering {
    bool on = false;
    bool bullet = false; // \pnlvlblt; else numbered (\pnlvlbody, \pnlvlN)
    QTextListFormat::Style style = QTextListFormat::ListDecimal;
    QString before;      // \pntxtb: the bullet, or text before the number
    QString after;       // \pntxta: text after the number
};

// A level of a \listtable entry.
struct ListLevel {
    int numberFormat = 0; // \levelnfc: 0 decimal ... 23 bullet, 255 none
    QString text;         // \leveltext: length, then text with level placeholders
};

struct ListDefinition {
    int id = 0;           // \listid
    std::vector<ListLevel> levels;
};

struct ListTables {
    std::vector<ListDefinition> lists;
    QHash<int, int> overrides; // \lsN -> \listid
    int pendingOverride = 0;   // the \listoverride being read: its \ls
    int pendingListId = 0;     //                              and \listid
    void FinishOverride();
};

// Which list a paragraph belongs to: paragraphs with equal keys and levels
// are items of one list, numbered on.
struct ListItem {
    QString key;
    int level = 0;
    QTextListFormat format; // style, prefix, suffix; indent = level + 1
};

// True for the styles that mark items with a bullet rather than a number (an
// undefined style among them).
bool IsBulletStyle(QTextListFormat::Style style);

// A list's number prefix or suffix as the reader keeps it and the writer
// writes it: without control characters, which are no text and in a list
// level's text stand for level numbers, and at most 100 characters long.
QString NumberAffix(QString text);

// What a numbered list shows after each number: its suffix, or "." when it
// has none set, as QTextList shows it.
QString NumberSuffixOf(const QTextListFormat &format);

// The bullet style a bullet character stands for.
QTextListFormat::Style BulletStyleOf(const QString &bullet);

// The list item of a paragraph numbered with \pn, at the level its left
// indent (twips) shows: the rich-edit control nests lists by indenting them,
// kTwipsPerListLevel a level.
ListItem ItemOfNumbering(const Numbering &numbering, int leftIndent);

// The list item of a paragraph with \lsN \ilvlN, when the tables define it.
std::optional<ListItem> ItemOfListTable(const ListTables &tables, int override, int level);

} // namespace rtf
