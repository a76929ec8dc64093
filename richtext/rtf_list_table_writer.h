#pragma once
// The list table the RTF writer puts beside paragraph numbering. Each list
// item is written with \pn, which every reader knows, and with \lsN \ilvlN
// naming a list of the list table, which word processors prefer: only there
// do they find that an item belongs to the level under the one before it, so
// that a sublist keeps its own letters and count instead of running on with
// the outer list's numbers.
//
// The document's lists (one QTextList per list and level) are gathered into
// the table's lists as they come: a list nested under an item of another, at
// a level that list has free or has closed since, joins it; any other list
// starts one of its own.

#include "richtext/rtf_lists.h"

#include <QByteArray>
#include <QTextListFormat>

#include <array>
#include <map>
#include <optional>
#include <vector>

class QTextBlock;
class QTextList;

namespace rtf {

class ListTableWriter {
public:
    // Where a list item goes: \lsN (from 1) and \ilvlN (from 0).
    struct Place {
        int override = 0;
        int level = 0;
    };

    // The place of `block` in the table, which grows as needed; nothing for
    // a paragraph outside lists. Call it for every paragraph, in order.
    std::optional<Place> PlaceOf(const QTextBlock &block);

    // {\*\listtable ...}{\*\listoverridetable ...} for the lists placed so
    // far; empty when there were none.
    QByteArray Tables() const;

private:
    struct Level {
        std::optional<QTextListFormat> format; // unset: not used yet
        const QTextList *open = nullptr;       // its list, until a shallower item closes it
    };
    using Levels = std::array<Level, kListLevels>;

    int JoinOrStart(const QTextList *list, int level);
    void Enter(int override, const QTextList *list, int level);

    std::vector<Levels> m_lists;                 // by \ls - 1
    std::map<const QTextList *, Place> m_places; // where each QTextList went
    int m_current = -1; // the list of the paragraph before, when it was an item
};

} // namespace rtf
