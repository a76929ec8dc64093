#include "pictures/qt_picture.h"

#include "pictures/picture_file.h"

#include <QImageReader>

QImage ReadQtPicture(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        FailToLoadPicture(path, reader.errorString());
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
