#include "report/print_shop_page.h"

#include "card/card_geometry.h"
#include "imaging/atomicfile.h"
#include "report/card_page.h"
#include "report/pdf_finish.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int PdfDotsPerInch = 1200;

double MmToDots(double mm)
{
    return TLength::FromMm(mm).Pixels(PdfDotsPerInch);
}

// The card's canvas (pictures and background, no text) as a bitmap at the
// background's own resolution, up to the page's, with its edges mirrored
// outward by `margin` card pixels: what the bleed shows is the card's own
// edge continuing as a print shop expects, not a band of white.
QImage MirroredCanvas(const TCardScene &card, double margin, double &pixelsPerCardPixel)
{
    CheckCardSize(card.Layout.Paper.CardWidth, card.Layout.Paper.CardHeight);
    const QSize size(card.Layout.Paper.CardWidth, card.Layout.Paper.CardHeight);
    const double fine = card.Pictures.Background.isNull() ? 1.0 : double(card.Pictures.Background.width()) / size.width();
    const double scale = std::clamp(fine, 1.0, PagePixelsPerInch / TLength::CardPixelsPerInch);
    QImage canvas(qCeil(size.width() * scale), qCeil(size.height() * scale), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const int dotsPerMeter = TLength::DotsPerMeter(TLength::CardPixelsPerInch * scale);
    canvas.setDotsPerMeterX(dotsPerMeter);
    canvas.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&canvas);
        PaintCardCanvas(painter, card.Layout, card.Pictures, TCardTarget::Page);
    }
    const int edge = std::min({qCeil(margin * scale), canvas.width(), canvas.height()});
    QImage mirrored(canvas.width() + 2 * edge, canvas.height() + 2 * edge, QImage::Format_RGB32);
    QPainter painter(&mirrored);
    const int w = canvas.width(), h = canvas.height();
    painter.drawImage(edge, edge, canvas);
    painter.drawImage(edge, 0, canvas.copy(0, 0, w, edge).mirrored(false, true));
    painter.drawImage(edge, edge + h, canvas.copy(0, h - edge, w, edge).mirrored(false, true));
    painter.drawImage(0, 0, mirrored.copy(edge, 0, edge, mirrored.height()).mirrored(true, false));
    painter.drawImage(edge + w, 0, mirrored.copy(w, 0, edge, mirrored.height()).mirrored(true, false));
    painter.end();
    pixelsPerCardPixel = scale;
    return mirrored;
}

// The bleed round the card, drawn over the card's outermost pixel, in card
// pixels from the card's corner: the
// mirrored canvas's four strips, stretched to reach the paper's edge (the
// card may be a fraction of a pixel narrower than its paper) plus the bleed.
void PaintBleed(QPainter &painter, const TCardScene &card, QSizeF trim, double bleed)
{
    const double w = card.Layout.Paper.CardWidth, h = card.Layout.Paper.CardHeight;
    const double right = std::max(trim.width(), w) + bleed, bottom = std::max(trim.height(), h) + bleed;
    double scale = 1.0;
    const QImage source = MirroredCanvas(card, std::max({bleed, right - w, bottom - h}), scale);
    const double edge = (source.width() - qCeil(w * scale)) / 2;
    // Each strip reaches one card pixel into the card, over its edge: two
    // pictures meeting edge to edge would leave a hairline of paper between
    // them where both are antialiased.
    const QRectF strips[] = {
        QRectF(-bleed, -bleed, right + bleed, bleed + 1),      // above, corners included
        QRectF(-bleed, h - 1, right + bleed, bottom - h + 1),  // below, corners included
        QRectF(-bleed, 0, bleed + 1, h),                       // left
        QRectF(w - 1, 0, right - w + 1, h),                    // right
    };
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    for (const QRectF &strip : strips) {
        // Card pixels to the mirrored canvas's pixels.
        const QRect from = QRectF(edge + strip.left() * scale, edge + strip.top() * scale, strip.width() * scale,
                                  strip.height() * scale)
                               .toAlignedRect()
                               .intersected(source.rect());
        if (!from.isEmpty() && !strip.isEmpty())
            painter.drawImage(strip, source.copy(from));
    }
    painter.restore();
}

// Crop marks at the four corners of the trim (in card pixels, the trim's
// corner at the origin), outside the bleed.
void PaintCropMarks(QPainter &painter, QSizeF trim, double cardPixelsPerMm)
{
    const double offset = CropMarkOffsetMm * cardPixelsPerMm;
    const double length = CropMarkLengthMm * cardPixelsPerMm;
    painter.save();
    // A hairline of a quarter point, as print shops draw them.
    painter.setPen(QPen(Qt::black, 0.25 / 72.0 * TLength::CardPixelsPerInch, Qt::SolidLine, Qt::FlatCap));
    for (const double x : {0.0, trim.width()}) {
        painter.drawLine(QPointF(x, -offset), QPointF(x, -offset - length));
        painter.drawLine(QPointF(x, trim.height() + offset), QPointF(x, trim.height() + offset + length));
    }
    for (const double y : {0.0, trim.height()}) {
        painter.drawLine(QPointF(-offset, y), QPointF(-offset - length, y));
        painter.drawLine(QPointF(trim.width() + offset, y), QPointF(trim.width() + offset + length, y));
    }
    painter.restore();
}

} // namespace

void WriteCardPrintShopPdf(const TCardScene &card, const PaperSettings &paper, const QString &pdfPath)
{
    CardPageLayout(paper);  // refuses a paper that cannot be printed
    const TCardPageSize trim = CardPageSize(paper);
    const double sheetW = trim.Width.Mm() + 2 * PrintShopSlugMm, sheetH = trim.Height.Mm() + 2 * PrintShopSlugMm;

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QRectF sheetPoints;
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Card for a print shop"));
        writer.setCreator(QStringLiteral("Tessaly"));
        writer.setResolution(PdfDotsPerInch);
        QPageLayout layout(QPageSize(QSizeF(sheetW, sheetH), QPageSize::Millimeter, QStringLiteral("Print shop sheet"),
                                     QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
        layout.setMode(QPageLayout::FullPageMode);
        if (!writer.setPageLayout(layout))
            throw ECardError(QStringLiteral("The print shop's sheet cannot be laid out."));
        sheetPoints = writer.pageLayout().fullRectPoints();
        QPainter painter;
        if (!painter.begin(&writer))
            throw ECardError(QStringLiteral("The page cannot be printed."));
        painter.translate(MmToDots(PrintShopSlugMm), MmToDots(PrintShopSlugMm));
        PaintCardPage(painter, card);
        {
            // Bleed and marks are measured in card pixels, like the card.
            const double perCardPixel = PdfDotsPerInch / TLength::CardPixelsPerInch;
            const double cardPixelsPerMm = TLength::FromMm(1).Pixels(TLength::CardPixelsPerInch);
            const QSizeF trimPixels(trim.Width.Mm() * cardPixelsPerMm, trim.Height.Mm() * cardPixelsPerMm);
            painter.save();
            painter.scale(perCardPixel, perCardPixel);
            PaintBleed(painter, card, trimPixels, PrintShopBleedMm * cardPixelsPerMm);
            PaintCropMarks(painter, trimPixels, cardPixelsPerMm);
            painter.restore();
        }
        painter.end();
    }
    // PDF measures from the sheet's lower-left corner, in points.
    const double slug = TLength::FromMm(PrintShopSlugMm).Inches() * 72.0;
    const double bleed = TLength::FromMm(PrintShopBleedMm).Inches() * 72.0;
    const double w = trim.Width.Inches() * 72.0, h = trim.Height.Inches() * 72.0;
    const QRectF trimBox(slug, sheetPoints.height() - slug - h, w, h);
    const QByteArray pdf = FinishCardPdf(buffer.data(), TPdfTrimBoxes{trimBox, trimBox.adjusted(-bleed, -bleed, bleed, bleed)});
    WriteFileAtomically(QFile::encodeName(pdfPath).toStdString(), std::string_view(pdf.constData(), size_t(pdf.size())));
}
