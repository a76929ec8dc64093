#pragma once
// Pictures in the formats only Qt's own image readers know (a PNG, say).

#include <QImage>
#include <QString>

// The picture as a plain bitmap: a 32-bit file's fourth byte is not
// transparency, and only a card's transparent colour may let its pictures
// show through. Raises EPictureError naming the file. Runs Qt's reader in
// this process: the program reads such files through
// ReadQtPictureConfined (picture_sandbox.h).
QImage ReadQtPicture(const QString &path);

class QImageReader;
// Why Qt's reader failed, in words: its own text, or for the "Unknown
// error" it often gives, what its error code says.
QString ReaderFailure(const QImageReader &reader);
