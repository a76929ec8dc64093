#include "dialogs/template_preview.h"

#include "imaging/bitmapimage.h"
#include "imaging/jpegdecoder.h"
#include "pictures/bitmap_qimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

TPreview LoadPreview(const QString &path)
{
    TPreview preview;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        preview.Error = QStringLiteral("The preview \"%1\" cannot be found.").arg(shown);
        return preview;
    }
    try {
        TJpegDecoder decoder;
        TBitmapImage bitmap;
        decoder.ReadImageFile(QFile::encodeName(path).toStdString(), bitmap);
        preview.Image = ToQImage(bitmap);
        if (preview.Image.isNull())
            preview.Error = QStringLiteral("There is not enough memory to show the preview \"%1\".").arg(shown);
    } catch (const std::exception &e) {
        // The decoder's reason names the file.
        preview.Error = QString::fromLocal8Bit(e.what());
    }
    return preview;
}
