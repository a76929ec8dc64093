#pragma once
// A recipient list file as the user picks it: a vCard file when its first
// line is BEGIN:VCARD or its name ends in .vcf or .vcard, and CSV otherwise.

#include "merge/recipient_table.h"

#include <QString>

// What the file dialog offers when the user picks a list: spreadsheet
// exports (CSV, and tab-separated as .tsv or .txt) and address books.
extern const QString RecipientListFilter;

// Refuses a file larger than MaxListFileBytes before reading a byte of it,
// and anything that is not a regular file (a FIFO would never end). Raises
// ERecipientListError ("Cannot read the recipient list "NAME". " and the
// reason, naming the line), EFOpenError or EReadError.
TRecipientTable ReadRecipientFile(const QString &fileName);

// The same for bytes already read; `fileName` only for its extension.
TRecipientTable ReadRecipientBytes(std::string_view bytes, const QString &fileName = QString());

// A list file's bytes, with the checks above; `what` names the file in the
// messages ("the recipient list").
std::string ReadListFileBytes(const QString &fileName, const QString &what);
// Raises ERecipientListError: "Cannot read WHAT "NAME". " and the reason.
[[noreturn]] void RefuseListFile(const QString &fileName, const QString &what, const QString &why);
