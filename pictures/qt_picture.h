#pragma once
// What Qt's image readers say when they fail, for the readers built on them
// (icons; PNG, GIF, TIFF and WebP through ReadQtPicture in picture_file.h).

#include <QString>

class QImageReader;
// Why Qt's reader failed, in words: its own text, or for the "Unknown
// error" it often gives, what its error code says.
QString ReaderFailure(const QImageReader &reader);
