#pragma once
// The user's picture files as opaque Qt images, each format through a real
// reader: BMP through the program's own decoder, JPEG through libjpeg (its
// Exif orientation honoured), PNG, GIF, TIFF, WebP and icons through Qt's
// readers, HEIF/HEIC through libheif, Windows metafiles through libwmf and
// enhanced metafiles through libemf2svg, both drawn with Qt SVG. Each reader
// turns a file into a picture or raises EPictureError naming the file and
// the reason; none ever shows anything. Transparent parts lie on white.

#include <QByteArray>
#include <QImage>
#include <QSize>
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

// The largest picture any reader accepts: 100 megapixels (a 24-megapixel
// phone photo four times over, 400 MB once decoded). A file that declares
// more is refused from its header, before its pixels take any memory.
constexpr qint64 MaxPicturePixels = 100'000'000;
// Raises EPictureError ("too large: ...") naming the file when `size`
// holds more than MaxPicturePixels; an invalid (unknown) size passes.
void CheckPictureSize(const QString &path, QSize size);

QImage ReadBmpPicture(const QString &path);
// scaleDenominator 1 (full size), 2, 4 or 8: see TJpegDecoder.
QImage ReadJpegPicture(const QString &path, int scaleDenominator = 1);
// The largest image of the icon file, drawn on white.
QImage ReadIconPicture(const QString &path);
// The primary picture of a HEIF/HEIC file, turned as the file says.
QImage ReadHeifPicture(const QString &path);
// Metafiles at their own pixel size (metafile.cpp), drawn on white.
QImage ReadWmfPicture(const QString &path);
QImage ReadEmfPicture(const QString &path);

// What the end of a file name says, without regard to case: ".bmp",
// ".jpg", ".jpeg", ".png", ".gif", ".tif", ".tiff", ".webp", ".heic",
// ".heif", ".ico", ".wmf" or ".emf"; anything else is Unsupported.
enum class TPictureType { Unsupported, Bmp, Jpeg, Png, Gif, Tiff, WebP, Heif, Icon, Wmf, Emf };
TPictureType PictureTypeOf(const QString &fileName);

// PNG, GIF (its first frame), TIFF (its first page, upright by its
// Orientation tag) and WebP through Qt's readers; Unsupported lets Qt
// tell the format from the contents. Without `alphaIsTransparency` the
// alpha bytes are ignored rather than laid on white.
QImage ReadQtPicture(const QString &path, TPictureType type, bool alphaIsTransparency = true);

// What a file's first bytes say it is: Bmp ("BM"), Jpeg (FF D8 FF), Png,
// Gif, Tiff, WebP or Heif by their signatures; Unsupported for anything
// else or a file that cannot be read. Only for a regular file
// (CheckRegularFile): opening a FIFO would wait for a writer.
TPictureType PictureTypeOfContents(const QString &path);

// The size a file's header declares, read without decoding its pixels
// (BMP, JPEG and the formats Qt reads); invalid when unknown.
QSize DeclaredPictureSize(const QString &path, TPictureType type);

// The file chooser's filter for the pictures the program reads, "All
// pictures" first.
QString PictureFileFilter();

// The picture in a file, read by the reader of `type`; a null image for
// Unsupported. Raises EPictureError (naming the file and the reason) when it
// cannot be read or is larger than MaxPicturePixels. The one way from a
// picture file to pixels: a wrapper around it covers every format.
// Every reader but the program's own BMP decoder runs confined in the
// helper process (picture_sandbox.h), so MaxPicturePixels is what the
// helper hands back at most.
QImage ReadPicture(const QString &path, TPictureType type);
// The same, with the reader running in this process: for the helper.
// Unsupported lets Qt's readers tell the format from the contents.
QImage ReadPictureHere(const QString &path, TPictureType type);

// The picture in a file, read by the reader its first bytes call for, or
// failing that its name (a photo saved under the wrong ending still reads).
// A null image when the file does not exist; raises EPictureError (naming
// the file and the reason) when it cannot be read, "not a picture this
// program can read" among them.
QImage LoadPictureFile(const QString &path);
