#include "card/picture_fit.h"

#include "card/card_geometry.h"
#include "imaging/atomicfile.h"
#include "pictures/bmp_file.h"
#include "report/length.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

QSize SlotSize(const SlotRect &rect)
{
    const int64_t width = SlotWidth(rect);
    const int64_t height = SlotHeight(rect);
    if (width <= 0 || height <= 0)
        return {};
    return QSize(int(std::min<int64_t>(width, INT32_MAX)), int(std::min<int64_t>(height, INT32_MAX)));
}

QRect FillPart(QSize picture, QSize frame)
{
    if (picture.isEmpty())
        return {};
    if (frame.isEmpty())
        return QRect(QPoint(0, 0), picture);
    // Compare picture.w / picture.h with frame.w / frame.h in integers.
    const int64_t pictureCross = int64_t(picture.width()) * frame.height();
    const int64_t frameCross = int64_t(frame.width()) * picture.height();
    QSize part = picture;
    if (pictureCross > frameCross) // wider than the frame: its sides go
        part.setWidth(int(std::clamp<int64_t>(
            std::llround(double(picture.height()) * frame.width() / frame.height()), 1, picture.width())));
    else if (pictureCross < frameCross) // taller: its top and bottom go
        part.setHeight(int(std::clamp<int64_t>(
            std::llround(double(picture.width()) * frame.height() / frame.width()), 1, picture.height())));
    return QRect(QPoint((picture.width() - part.width()) / 2, (picture.height() - part.height()) / 2), part);
}

QSize StoredPictureBound(const PaperSettings &paper)
{
    const auto atPrint = [](int32_t cardPixels) {
        const int64_t clamped = std::clamp<int64_t>(cardPixels, 1, MaxCardSide);
        return int(clamped * StoredPicturePixelsPerInch / int64_t(TLength::CardPixelsPerInch));
    };
    return QSize(atPrint(paper.CardWidth), atPrint(paper.CardHeight));
}

QImage BoundedPicture(const QImage &picture, QSize bound)
{
    if (picture.isNull() || bound.isEmpty()
        || (picture.width() <= bound.width() && picture.height() <= bound.height()))
        return picture;
    const double scale = std::min(double(bound.width()) / picture.width(), double(bound.height()) / picture.height());
    const QSize size(std::clamp(int(std::lround(picture.width() * scale)), 1, bound.width()),
                     std::clamp(int(std::lround(picture.height() * scale)), 1, bound.height()));
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage PictureForFrame(const QImage &picture, QSize frame, QSize bound)
{
    if (picture.isNull())
        return picture;
    const QRect part = FillPart(picture.size(), frame);
    const QImage cut = part == picture.rect() ? picture : picture.copy(part);
    return BoundedPicture(cut, bound);
}

namespace {

const QByteArray FillWord = QByteArrayLiteral("fill");

} // namespace

QString FitMarkerPath(const QString &picturePath)
{
    return picturePath + QStringLiteral(".fit");
}

bool KeepsProportions(const QString &picturePath)
{
    // Only a small regular file is read: a FIFO in its place would block.
    const QFileInfo info(FitMarkerPath(picturePath));
    if (!info.isFile() || info.size() > 64)
        return false;
    QFile file(info.filePath());
    return file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == FillWord;
}

void StoreFramePicture(const QImage &picture, QSize frame, QSize bound, const QString &path)
{
    WritePictureBmp(PictureForFrame(picture, frame, bound), path);
    if (frame.isEmpty())
        return;
    TAtomicFile marker(QFile::encodeName(FitMarkerPath(path)).toStdString());
    marker.Write(std::string(FillWord.constData()) + "\n");
    marker.Commit();
}

QRect PicturePartForSlot(QSize picture, const SlotRect &slot, bool keepsProportions)
{
    if (!keepsProportions)
        return QRect(QPoint(0, 0), picture);
    return FillPart(picture, SlotSize(slot));
}
