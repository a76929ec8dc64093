#include "card/picture_fit.h"

#include "card/card_geometry.h"

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
        return int(clamped * StoredPicturePixelsPerInch / CardPixelsPerInch);
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
