#pragma once
// A list of recipients as every reader produces it and the card uses it:
// named columns, one row of values per recipient, and what the reader
// noticed but did not refuse. Rows always hold one value per column.

#include "imaging/bitmapimage.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

// A list that cannot be read as written. The message says why and names the
// line, so the window can show it as it is.
class ERecipientListError : public Exception {
public:
    using Exception::Exception;
};

// Limits that keep a hostile or mistaken file from filling the memory. A
// file is measured before it is read; the others are checked while reading.
inline constexpr std::size_t MaxListFileBytes = 100u * 1000 * 1000;
inline constexpr std::size_t MaxFieldBytes = 10u * 1000 * 1000;
inline constexpr std::size_t MaxRecipients = 100000;
inline constexpr std::size_t MaxColumns = 1000;
// Recipients times columns: a short header row cannot be padded out to
// millions of empty values.
inline constexpr std::size_t MaxValues = 10u * 1000 * 1000;

struct TRecipient {
    QStringList Values; // one per column
    bool Ticked = true; // printed and exported

    bool operator==(const TRecipient &) const = default;
};

struct TRecipientTable {
    QStringList Columns;
    std::vector<TRecipient> Rows;
    QStringList Warnings;

    // The column's index, or -1. An exact match wins; otherwise a match that
    // ignores case, when only one column matches so.
    int ColumnIndex(const QString &name) const;
    // The row's value of a column, empty when the column is unknown.
    QString Value(std::size_t row, const QString &column) const;

    bool operator==(const TRecipientTable &) const = default;
};

// A value as the card shows it: line breaks of any kind become "\n", and
// other control characters (a NUL among them) are left out, as no text box
// can show them and the list kept with the card could not hold them.
QString CleanValue(const QString &value);

// A count as messages show it: "100,000".
QString CountText(std::size_t count);

// The lines a warning applies to: the first ten kept, the others counted,
// so that a file of a million such lines costs no memory.
class TLineList {
public:
    void Add(int line);
    bool Empty() const { return FCount == 0; }
    // "line 4", "lines 4 and 9", "lines 4, 7 and 9", or the first ten and
    // "and 12 more".
    QString Text() const;

private:
    std::vector<int> FFirst;
    std::size_t FCount = 0;
};
