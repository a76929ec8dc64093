#pragma once
// Recipient lists from address books: the vCard files (2.1, 3.0, 4.0) that
// phones and mail programs export. Each card becomes one recipient with the
// columns in VCardColumns: the name as a whole and in its parts, the postal
// address as a whole and in its parts (the home address where a card has
// several), the organisation, and one email address and telephone number
// (the preferred ones). Escapes (\n \, \; \\) are undone, and text is
// decoded from the charset a value names, else UTF-8, else Windows-1252.
//
// Refused with ERecipientListError as vcard_lines.h says, and when a value
// can be decoded in none of those ways (naming its line).

#include "merge/recipient_table.h"

#include <string_view>

extern const QStringList VCardColumns;

TRecipientTable ReadVCardRecipients(std::string_view bytes);

// True when the bytes look like a vCard file: BEGIN:VCARD is their first
// line (after a byte order mark and blank lines).
bool LooksLikeVCard(std::string_view bytes);
