#include "dialogs/picture_crop.h"

#include "pictures/bitmap_qimage.h"
#include "pictures/picture_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// value * to / from, rounded to the nearest integer (halves away from
// zero), in 64 bits so that no stored or dragged value overflows.
int ScaleEdge(int64_t value, int64_t to, int64_t from)
{
    if (from <= 0)
        return int(value);
    const double scaled = std::round(double(value) * double(to) / double(from));
    return int(std::clamp(scaled, double(INT32_MIN / 2), double(INT32_MAX / 2)));
}

} // namespace

QRect TPictureView::ToPicture(const QRect &areaRect) const
{
    const int64_t left = int64_t(areaRect.x()) - Origin.x();
    const int64_t top = int64_t(areaRect.y()) - Origin.y();
    const int x1 = ScaleEdge(left, Picture.width(), Shown.width());
    const int y1 = ScaleEdge(top, Picture.height(), Shown.height());
    const int x2 = ScaleEdge(left + areaRect.width(), Picture.width(), Shown.width());
    const int y2 = ScaleEdge(top + areaRect.height(), Picture.height(), Shown.height());
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

QRect TPictureView::ToArea(const QRect &pictureRect) const
{
    const int x1 = ScaleEdge(pictureRect.x(), Shown.width(), Picture.width());
    const int y1 = ScaleEdge(pictureRect.y(), Shown.height(), Picture.height());
    const int x2 = ScaleEdge(int64_t(pictureRect.x()) + pictureRect.width(), Shown.width(), Picture.width());
    const int y2 = ScaleEdge(int64_t(pictureRect.y()) + pictureRect.height(), Shown.height(), Picture.height());
    return QRect(Origin.x() + x1, Origin.y() + y1, x2 - x1, y2 - y1);
}

TPictureView FitPicture(QSize picture, QSize area)
{
    TPictureView view;
    view.Picture = picture.isEmpty() ? QSize(0, 0) : picture;
    view.Shown = view.Picture;
    const int areaWidth = std::max(1, area.width());
    const int areaHeight = std::max(1, area.height());
    if (picture.width() > areaWidth || picture.height() > areaHeight) {
        const double scale = std::min(double(areaWidth) / picture.width(), double(areaHeight) / picture.height());
        view.Shown = QSize(std::clamp(int(std::lround(picture.width() * scale)), 1, areaWidth),
                           std::clamp(int(std::lround(picture.height() * scale)), 1, areaHeight));
    }
    view.Origin = QPoint((areaWidth - view.Shown.width()) / 2, (areaHeight - view.Shown.height()) / 2);
    return view;
}

QImage ShownPicture(const QImage &picture, QSize shown)
{
    if (picture.isNull() || shown == picture.size())
        return picture;
    return picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage CropPicture(const QImage &picture, const QRect &part)
{
    if (part.width() <= 0 || part.height() <= 0)
        throw EPictureError(QStringLiteral("The crop rectangle has no area: please make it larger."));
    if (int64_t(part.width()) * part.height() > MaxCropPixelCount)
        throw EPictureError(QStringLiteral("The crop rectangle is too large: please make it smaller."));
    QImage cropped(part.size(), QImage::Format_RGB32);
    if (cropped.isNull())
        throw std::bad_alloc();
    cropped.fill(Qt::white);
    const QImage source = OpaqueOnWhite(picture);
    const QRect inside = part.intersected(source.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(y)) + inside.left();
        auto *to = reinterpret_cast<QRgb *>(cropped.scanLine(y - part.top())) + (inside.left() - part.left());
        std::memcpy(to, from, size_t(inside.width()) * sizeof(QRgb));
    }
    return cropped;
}

QRect KeepShape(const QRect &start, const QRect &proposed, QSize shape)
{
    if (shape.isEmpty() || proposed.width() <= 0 || proposed.height() <= 0)
        return proposed;
    const bool leftMoved = proposed.left() != start.left();
    const bool topMoved = proposed.top() != start.top();
    const bool horizontal = leftMoved || proposed.right() != start.right();
    const bool vertical = topMoved || proposed.bottom() != start.bottom();
    const double aspect = double(shape.width()) / shape.height();
    int width = proposed.width();
    int height = proposed.height();
    if (horizontal && !vertical)
        height = std::max(1, int(std::lround(width / aspect)));
    else if (vertical && !horizontal)
        width = std::max(1, int(std::lround(height * aspect)));
    else if (width > height * aspect)
        height = std::max(1, int(std::lround(width / aspect)));
    else
        width = std::max(1, int(std::lround(height * aspect)));

    QRect kept(proposed.topLeft(), QSize(width, height));
    // The edge opposite the one dragged stays put.
    if (leftMoved)
        kept.moveRight(proposed.right());
    if (topMoved)
        kept.moveBottom(proposed.bottom());
    // The side that only followed grows about its middle.
    if (horizontal && !vertical)
        kept.moveTop(start.center().y() - (height - 1) / 2);
    if (vertical && !horizontal)
        kept.moveLeft(start.center().x() - (width - 1) / 2);
    return kept;
}
