#pragma once
// The recipient list kept with a card: a file in the card's folder, written
// through the atomic writer, holding the columns, every recipient's values
// as the user left them (edits included) and whether each is ticked for
// printing.
//
// It is CSV as RFC 4180 writes it (UTF-8 with a byte order mark, every
// value quoted, CR LF between rows) with a first column "Print" holding
// "yes" or "no", so a spreadsheet opens it as it is, and it is read back by
// the same reader as the lists users bring, limits included. Its name ends
// in neither .crd (the only files Open offers) nor is it a folder (the only
// entries the template and card lists show), and it does not begin with a
// dot, so the atomic writer never takes it for one of its temporaries.

#include "merge/recipient_table.h"

#include <QString>

extern const QString KeptListFileName; // "Recipients.csv"
extern const QString KeptListTickColumn; // "Print"

// The kept list's path in a card folder (with or without a trailing '/').
QString KeptListPath(const QString &cardFolder);
bool HasKeptList(const QString &cardFolder);

// The file's whole content for a table. Values are stored as CleanValue
// leaves them, and a table read back from it equals the table written
// (warnings aside).
std::string KeptListBytes(const TRecipientTable &table);
// Reads a kept list from its bytes; raises ERecipientListError when they
// are no such list.
TRecipientTable ParseKeptList(std::string_view bytes);

// Writes atomically; raises EFCreateError or EWriteError.
void WriteKeptList(const QString &cardFolder, const TRecipientTable &table);
// Raises ERecipientListError, EFOpenError or EReadError.
TRecipientTable ReadKeptList(const QString &cardFolder);
