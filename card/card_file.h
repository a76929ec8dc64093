#pragma once
// Reading and writing Card.crd. Errors raise ECardError with a message for the user.

#include "card/card_layout.h"

#include <QString>

// The file's bytes (at most the record's size are kept) laid over `base`.
CardLayout ReadCardFile(const QString &path, const CardLayout &base);
// Writes the 1496 bytes through a temporary file that replaces `path` only
// once it is complete, so a failed write leaves the old file intact.
void WriteCardFile(const QString &path, const CardLayout &layout);
