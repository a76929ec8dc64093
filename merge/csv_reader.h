#pragma once
// Recipient lists in CSV, as spreadsheets and address books export them:
// a header row naming the columns, then one row per recipient. The
// separator (comma, semicolon or tab) is found from the header, or taken
// from a first line "sep=;" as Excel writes it; quoting follows RFC 4180
// (a quoted value may hold separators, doubled quotes and line breaks).
// Parsing is libcsv's, in its strict mode, so a quote in the
// wrong place is refused rather than guessed at.
//
// Refused with ERecipientListError, naming the line: text that cannot be
// decoded (see list_text.h), a quote that is never closed or stands in the
// wrong place, a value over MaxFieldBytes, more than MaxRecipients rows,
// MaxColumns columns or MaxValues values, a file without a header row.
// Read with a warning: rows with fewer or more values than the header
// (naming their lines), empty rows (left out), empty or repeated column
// names (renamed).

#include "merge/recipient_table.h"

#include <string_view>

struct TCsvOptions {
    char Delimiter = 0; // ',', ';' or '\t'; 0 finds it from the header
    // Off for files of our own, whose column names are taken as written.
    bool RenameColumns = true;
};

TRecipientTable ReadCsvRecipients(std::string_view bytes, TCsvOptions options = {});

// The separator the header row of UTF-8 text uses: whichever of comma,
// semicolon and tab splits it and also the rows after it into as many
// values, the one that splits the header most where that does not decide,
// and the comma when none of them is there.
char DetectDelimiter(std::string_view text);
