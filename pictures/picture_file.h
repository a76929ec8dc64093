#pragma once
// The user's picture files as opaque Qt images, each format through a real
// reader: BMP through the program's own decoder, JPEG through libjpeg (its
// Exif orientation honoured), icons through Qt's reader, Windows metafiles
// through libwmf and enhanced metafiles through libemf2svg, both drawn with
// Qt SVG. Each reader turns a file into a picture or raises EPictureError
// naming the file; none ever shows anything.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

class EPictureError : public std::runtime_error {
public:
    // `reason` is the failure alone, without the file's name; the message
    // when none is given.
    explicit EPictureError(const QString &message, const QString &reason = QString())
        : std::runtime_error(message.toStdString()), Reason(reason.isEmpty() ? message : reason)
    {
    }
    QString Reason;
};

// "Cannot load the picture "<file>": <reason>", the one wording of a
// picture that cannot be read.
[[noreturn]] void FailToLoadPicture(const QString &path, const QString &reason);

QImage ReadBmpPicture(const QString &path);
// scaleDenominator 1 (full size), 2, 4 or 8: see TJpegDecoder.
QImage ReadJpegPicture(const QString &path, int scaleDenominator = 1);
// The largest image of the icon file, drawn on white.
QImage ReadIconPicture(const QString &path);
// Metafiles at their own pixel size (metafile.cpp), drawn on white.
QImage ReadWmfPicture(const QString &path);
QImage ReadEmfPicture(const QString &path);

// What the end of a file name says, without regard to case: ".bmp",
// ".jpg", ".jpeg", ".ico", ".wmf" or ".emf"; anything else is Unsupported.
enum class TPictureType { Unsupported, Bmp, Jpeg, Icon, Wmf, Emf };
TPictureType PictureTypeOf(const QString &fileName);

// What a file's first bytes say it is: Bmp ("BM") or Jpeg (FF D8 FF);
// Unsupported for anything else or a file that cannot be read. Only for a
// regular file (CheckRegularFile): opening a FIFO would wait for a writer.
TPictureType PictureTypeOfContents(const QString &path);

// The picture in a file, read by the reader of `type`; a null image for
// Unsupported. Raises EPictureError (naming the file) when it cannot be read.
// Every reader but the program's own BMP decoder runs confined in the
// helper process (picture_sandbox.h).
QImage ReadPicture(const QString &path, TPictureType type);
// The same, with the reader running in this process: for the helper.
QImage ReadPictureHere(const QString &path, TPictureType type);

// The picture in a file, read by the reader its name calls for. A null
// image when the file does not exist or its type is unsupported; raises
// EPictureError (naming the file) when it cannot be read.
QImage LoadPictureFile(const QString &path);
