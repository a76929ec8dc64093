#pragma once
// Helpers of the recipient-list tests: a reader's refusal as its message.

#include "merge/recipient_table.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

// The message of the ERecipientListError that `read` raises, or a failure.
template <typename Read>
std::string RefusalOf(Read read)
{
    try {
        read();
    } catch (const ERecipientListError &error) {
        return error.what();
    }
    ADD_FAILURE() << "the list was read";
    return std::string();
}

inline std::string Joined(const QStringList &warnings)
{
    return warnings.join(QLatin1Char('\n')).toStdString();
}

// How GoogleTest shows a table when a comparison fails.
inline void PrintTo(const TRecipientTable &table, std::ostream *out)
{
    *out << "columns [" << table.Columns.join(QStringLiteral("|")).toStdString() << "]";
    for (const TRecipient &row : table.Rows)
        *out << "\n  " << (row.Ticked ? "[x] " : "[ ] ") << row.Values.join(QStringLiteral("|")).toStdString();
    for (const QString &warning : table.Warnings)
        *out << "\n  warning: " << warning.toStdString();
}
