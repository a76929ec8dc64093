#pragma once
// What every recipient-list fuzz target holds a table it read to: the shape
// the card relies on, within the limits, and kept with a card it comes back
// the same. A list may be refused (ERecipientListError); any other
// exception, a sanitizer report or a broken check is a finding.

#include "merge/kept_list.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string_view>

inline void Expect(bool condition)
{
    if (!condition)
        __builtin_trap();
}

inline std::string_view BytesOf(const uint8_t *data, size_t size)
{
    return std::string_view(reinterpret_cast<const char *>(data), size);
}

inline void CheckTable(const TRecipientTable &table)
{
    Expect(table.Rows.size() <= MaxRecipients);
    Expect(std::size_t(table.Columns.size()) <= MaxColumns);
    for (const TRecipient &row : table.Rows) {
        Expect(row.Values.size() == table.Columns.size());
        for (const QString &value : row.Values)
            Expect(CleanValue(value) == value);
    }
    const std::string kept = KeptListBytes(table);
    TRecipientTable again = ParseKeptList(kept);
    Expect(again.Columns == table.Columns);
    Expect(again.Rows == table.Rows);
    Expect(KeptListBytes(again) == kept);
}
