#pragma once
// Reading and writing Card.crd. Errors raise ECardError with a message for the user.

#include "card/card_layout.h"

#include <QString>

#include <string>

// The folder of a card file such as CardPath (its template.bmp), ending in
// '/'; every file of the card is this folder and a file name.
QString FolderOf(const QString &cardFilePath);

// The file's first CardLayoutSize bytes (fewer when it is shorter). Only a
// regular file is read: anything else is refused at once, naming the file.
QByteArray ReadCardFileBytes(const QString &path);
// The file's bytes (at most the record's size are kept) laid over `base`.
CardLayout ReadCardFile(const QString &path, const CardLayout &base);
// The file's contents: the record's 1496 bytes.
std::string CardFileBytes(const CardLayout &layout);
// Writes the 1496 bytes through the atomic writer, so a failed write leaves
// the old file intact; its errors (EFCreateError, EWriteError) name the file.
void WriteCardFile(const QString &path, const CardLayout &layout);
