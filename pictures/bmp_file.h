#pragma once
// Pictures written as 24-bit BMP files, the program's one BMP writer: the
// rendered card (exports, Temp.bmp, tessaly-render), the templates' pictures
// and the pictures the picture dialog writes. The rows go out one band at a
// time, so a photo of tens of megabytes is never held a second time as file
// bytes. The header carries the picture's own resolution (a rendered card's
// 96 dpi).

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture as the bytes of a 24-bit BMP file (bottom-up rows, each
// padded to four bytes); transparent parts lie on white.
QByteArray PictureBmpBytes(const QImage &picture);
// The same file written through the atomic writer: a failed write leaves
// the old file whole. Raises EFCreateError or EWriteError naming the file,
// EPictureError for a picture with no pixels.
void WritePictureBmp(const QImage &picture, const QString &path);
