#pragma once
// Reading the files of a card (Card.crd, its RTF texts, its pictures) opens
// regular files only. A FIFO in place of a file would block the reader until
// some writer came, and a device could be read for ever, so anything that is
// not a regular file is refused at once, with the file's name.

#include "imaging/fileerrors.h"

#include <cstddef>
#include <string>

// Raises EFOpenError when the file is missing, cannot be examined or is not a
// regular file (symbolic links are followed).
void CheckRegularFile(const std::string &fileName);

// The first maxBytes bytes (or fewer, the whole file) of a regular file.
// The file is opened without waiting and examined before a byte is read, so
// a FIFO never blocks. Raises EFOpenError, or EReadError when reading fails.
std::string ReadRegularFile(const std::string &fileName, size_t maxBytes);
