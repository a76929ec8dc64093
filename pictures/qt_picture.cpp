#include "pictures/qt_picture.h"

#include "pictures/picture_file.h"

#include <QImageReader>

QImage ReadQtPicture(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        FailToLoadPicture(path, ReaderFailure(reader));
    if (image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] |= 0xFF000000u;
        }
    }
    return image;
}

QString ReaderFailure(const QImageReader &reader)
{
    const QString text = reader.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return QStringLiteral("The file cannot be found.");
    case QImageReader::DeviceError: return QStringLiteral("The file cannot be read.");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("The file is not a picture in a format the program reads.");
    case QImageReader::InvalidDataError: return QStringLiteral("The picture in the file is damaged.");
    case QImageReader::UnknownError:
    default: return QStringLiteral("The picture cannot be read; the file may be damaged or not a picture.");
    }
}
