#include "dialogs/template_preview.h"

#include "imaging/bitmapimage.h"
#include "imaging/jpegdecoder.h"
#include "pictures/bitmap_qimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

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

QImage FitPreview(const QImage &preview, QSize box)
{
    QImage fitted(box, QImage::Format_ARGB32_Premultiplied);
    fitted.fill(Qt::transparent);
    if (preview.isNull() || box.isEmpty())
        return fitted;
    // Room for the shadow below and to the right.
    constexpr int Shadow = 4;
    const QSize room = box - QSize(Shadow, Shadow);
    if (room.isEmpty())
        return fitted;
    const QSize size = preview.size().scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QRect card(QPoint((room.width() - size.width()) / 2, (room.height() - size.height()) / 2), size);
    QPainter painter(&fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::NoPen);
    for (int i = Shadow; i >= 1; --i) {
        painter.setBrush(QColor(0, 0, 0, 18));
        painter.drawRect(card.translated(i, i));
    }
    painter.drawImage(card, preview);
    painter.setPen(QColor(0, 0, 0, 60));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(card.adjusted(0, 0, -1, -1));
    return fitted;
}
