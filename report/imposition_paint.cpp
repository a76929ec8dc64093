#include "report/imposition_paint.h"

#include "card/card_layout.h"
#include "report/rounding.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

QTransform FaceTransform(const TPlacement &placement, TPageSize face, double dotsPerTenth)
{
    const TPageRect part = PartInFace(face, placement.Part);
    // Page = origin + (point - part's corner), or for a half turn
    // origin + part's size - (point - part's corner).
    const double sign = placement.Rotation == 180 ? -1.0 : 1.0;
    const double shiftX = placement.Rotation == 180 ? part.Width.TenthsMm() : 0.0;
    const double shiftY = placement.Rotation == 180 ? part.Height.TenthsMm() : 0.0;
    const double dx = placement.Origin.X.TenthsMm() + shiftX - sign * part.Left.TenthsMm();
    const double dy = placement.Origin.Y.TenthsMm() + shiftY - sign * part.Top.TenthsMm();
    return QTransform(sign * dotsPerTenth, 0, 0, sign * dotsPerTenth, dx * dotsPerTenth, dy * dotsPerTenth);
}

void PaintImposedPage(QPainter &painter, const TImposedPage &page, TPageSize face, const TFacePictures &faces,
                      double dotsPerTenth)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    for (const TPlacement &placement : page.Placements) {
        const QImage &picture = faces.Of(placement.Face);
        if (picture.isNull())
            continue;
        const TPageRect part = PartInFace(face, placement.Part);
        const double pixelsPerTenthX = picture.width() / face.Width.TenthsMm();
        const double pixelsPerTenthY = picture.height() / face.Height.TenthsMm();
        const QRectF target(part.Left.TenthsMm(), part.Top.TenthsMm(), part.Width.TenthsMm(), part.Height.TenthsMm());
        const QRectF source(target.left() * pixelsPerTenthX, target.top() * pixelsPerTenthY,
                            target.width() * pixelsPerTenthX, target.height() * pixelsPerTenthY);
        painter.setTransform(FaceTransform(placement, face, dotsPerTenth));
        painter.drawImage(target, picture, source);
    }
    painter.resetTransform();
    QPen pen(Qt::black);
    pen.setWidthF(MarkLineWidth.TenthsMm() * dotsPerTenth);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    auto draw = [&](const TPageLine &line) {
        painter.drawLine(QPointF(line.From.X.TenthsMm(), line.From.Y.TenthsMm()) * dotsPerTenth,
                         QPointF(line.To.X.TenthsMm(), line.To.Y.TenthsMm()) * dotsPerTenth);
    };
    for (const TPageLine &line : page.CropMarks)
        draw(line);
    for (const TPageLine &line : page.FoldMarks)
        draw(line);
    painter.restore();
}

QImage RenderImposedPage(const TImposedPage &page, TPageSize face, const TFacePictures &faces, double dotsPerInch)
{
    const double dotsPerTenth = dotsPerInch / TLength::TenthsPerInch;
    const int width = std::max(1, RoundHalfEven(page.Size.Width.TenthsMm() * dotsPerTenth));
    const int height = std::max(1, RoundHalfEven(page.Size.Height.TenthsMm() * dotsPerTenth));
    // Refused before a pixel is allocated: a page of a damaged card's paper
    // at a high resolution could ask for more memory than there is.
    if (int64_t(width) * height > MaxRenderedPagePixels)
        throw ECardError(QStringLiteral("The page (%1 x %2 pixels) is too large to be drawn.").arg(width).arg(height));
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        throw ECardError(QStringLiteral("There is not enough memory to draw the page (%1 x %2 pixels).")
                             .arg(width)
                             .arg(height));
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintImposedPage(painter, page, face, faces, dotsPerTenth);
    painter.end();
    return image;
}

QPageLayout ImposedPageLayout(const TImposedPage &page)
{
    const bool landscape = page.Size.Width > page.Size.Height;
    const TLength shortSide = std::min(page.Size.Width, page.Size.Height);
    const TLength longSide = std::max(page.Size.Width, page.Size.Height);
    // Within a tenth of a millimetre a standard size is meant: 148.5 mm
    // for A5's 148 is not.
    const QPageSize::PageSizeId id =
        QPageSize::id(QSizeF(shortSide.Mm(), longSide.Mm()), QPageSize::Millimeter, QPageSize::FuzzyMatch);
    QPageSize size;
    if (id != QPageSize::Custom) {
        const QSizeF standard = QPageSize::size(id, QPageSize::Millimeter);
        if (std::abs(standard.width() - shortSide.Mm()) <= 0.1 && std::abs(standard.height() - longSide.Mm()) <= 0.1)
            size = QPageSize(id);
    }
    if (!size.isValid())
        size = QPageSize(QSizeF(shortSide.Mm(), longSide.Mm()), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QPageLayout layout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
    // The paper's corner, not the printable area's: a printer's unprintable
    // edge must not shift the card.
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

TPageSize PrinterPaperSize(const QPageSize &pageSize)
{
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    return {TLength::FromMm(mm.width()), TLength::FromMm(mm.height())};
}
