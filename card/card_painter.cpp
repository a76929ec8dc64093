#include "card/card_painter.h"

#include "card/card_compose.h"
#include "card/card_geometry.h"
#include "card/card_paths.h"
#include "card/picture_fit.h"
#include "imaging/regularfile.h"
#include "pictures/picture_file.h"
#include "pictures/picture_sandbox.h"
#include "report/length.h"
#include "richtext/rich_text_render.h"
#include "richtext/twips.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <QSet>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The background with every pixel of exactly `colour` made fully transparent.
// Keying before any scaling means only the template's own pixels decide what
// is see-through, and smooth scaling of the premultiplied result leaves no
// coloured fringe round the picture window.
QImage KeyedBackground(const QImage &background, int32_t colour)
{
    const QRgb key = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    QImage keyed = background.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return keyed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool AnyPicture(const CardLayout &layout, const TCardPictures &pictures)
{
    for (std::size_t i = 0; i < CardPictureSlots; ++i)
        if (layout.Pictures[i].Used != 0 && !pictures.Pictures[i].isNull())
            return true;
    return false;
}

// Device pixels per card pixel, across and down.
QPointF DeviceScale(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return {device->logicalDpiX() / TLength::CardPixelsPerInch, device->logicalDpiY() / TLength::CardPixelsPerInch};
}

// A 96-dpi device on which text is laid out for every target, so that a
// line breaks on paper where it breaks on the screen.
const QPaintDevice &CardLayoutDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = TLength::DotsPerMeter(TLength::CardPixelsPerInch);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

// The pixels that `perInch` pixels an inch put across a span of
// `cardPixels` card pixels, rounded up so that the page gets no fewer.
int PagePixels(double cardPixels, double perInch)
{
    // A stored slot may be of any size: no picture needs more than this.
    constexpr double Most = 1 << 20;
    return int(std::clamp(std::ceil(cardPixels / TLength::CardPixelsPerInch * perInch - 1e-6), 1.0, Most));
}

// `picture` for a span of `target` card pixels: area-averaged down where it
// has more than `perInch` pixels an inch across or down.
QImage NoFinerThan(const QImage &picture, QSizeF target, double perInch)
{
    const int width = std::min(picture.width(), PagePixels(target.width(), perInch));
    const int height = std::min(picture.height(), PagePixels(target.height(), perInch));
    if (width == picture.width() && height == picture.height())
        return picture;
    return picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A PDF stores an image as JPEG unless asked to keep it lossless: a
// drawing's sharp edges would ring and its colours bleed, a photo would
// swell the file.
void DrawPageImage(QPainter &painter, const QRectF &target, const QImage &image, bool photo)
{
    painter.setRenderHint(QPainter::LosslessImageRendering, !photo);
    painter.drawImage(target, image);
}

// One picture on a page: only its part on the card, at its own resolution
// up to PagePixelsPerInch. Coordinates are card pixels.
void DrawPagePicture(QPainter &painter, const SlotRect &slot, QSize card, const QImage &picture, bool keepsProportions)
{
    const VisibleSlot part = VisiblePartOfSlot(slot, card, PicturePartForSlot(picture.size(), slot, keepsProportions));
    if (part.IsEmpty())
        return;
    // Whole source pixels that cover the visible part, and where they lie:
    // the painter's clip cuts the overhang at the card's edge.
    const QRect pixels = part.Source.toAlignedRect().intersected(picture.rect());
    const double perX = part.Target.width() / part.Source.width();
    const double perY = part.Target.height() / part.Source.height();
    const QRectF target(part.Target.left() + (pixels.left() - part.Source.left()) * perX,
                        part.Target.top() + (pixels.top() - part.Source.top()) * perY, pixels.width() * perX,
                        pixels.height() * perY);
    const QImage own = pixels == picture.rect() ? picture : picture.copy(pixels);
    const QImage page = NoFinerThan(own, target.size(), PagePixelsPerInch);
    DrawPageImage(painter, target, page, LooksLikePhoto(page));
}

void PaintCanvasOnPage(QPainter &painter, const CardLayout &layout, const TCardPictures &pictures,
                       const QImage &background)
{
    const QSize card(layout.Paper.CardWidth, layout.Paper.CardHeight);
    const QPointF scale = DeviceScale(painter);
    painter.save();
    painter.scale(scale.x(), scale.y());
    painter.setClipRect(QRect(QPoint(0, 0), card), Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(QRect(QPoint(0, 0), card), Qt::white);
    for (std::size_t i = 0; i < CardPictureSlots; ++i) {
        if (layout.Pictures[i].Used != 0 && !pictures.Pictures[i].isNull())
            DrawPagePicture(painter, layout.Pictures[i].Rect, card, pictures.Pictures[i], pictures.KeepsProportions[i]);
    }
    // The background is the card's design, drawn art with sharp edges round
    // its windows and ornaments: always lossless.
    if (!background.isNull())
        DrawPageImage(painter, QRectF(QPointF(0, 0), QSizeF(card)),
                      NoFinerThan(background, QSizeF(card), PagePixelsPerInch), false);
    painter.restore();
}

// The card's own pixels, drawn as the canvas has always been drawn: the
// exported bitmaps and their stored hashes depend on every step here.
void PaintCanvasInCardPixels(QPainter &painter, const CardLayout &layout, const TCardPictures &pictures,
                             QImage background)
{
    const QSize card(layout.Paper.CardWidth, layout.Paper.CardHeight);
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), card), Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t i = 0; i < CardPictureSlots; ++i) {
        const QImage &picture = pictures.Pictures[i];
        if (layout.Pictures[i].Used == 0 || picture.isNull())
            continue;
        const SlotRect &slot = layout.Pictures[i].Rect;
        const VisibleSlot part
            = VisiblePartOfSlot(slot, card, PicturePartForSlot(picture.size(), slot, pictures.KeepsProportions[i]));
        if (!part.IsEmpty())
            painter.drawImage(part.Target, picture, part.Source);
    }
    if (!background.isNull()) {
        // A background finer than the card (a template drawn for print) is
        // averaged down to the card's pixels: stretching it in one step
        // would sample one of every few pixels and lose its fine lines.
        if (background.width() > card.width() && background.height() > card.height())
            background = background.scaled(card, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(QRectF(0, 0, card.width(), card.height()), background);
    }
    painter.restore();
}

// A copy of `doc` drawn without ligatures: a PDF maps each glyph back to
// one character for searching and copying, and a ligature such as a
// script font's "th" has no character of its own, so "Birthday" would be
// found as "Bir day". Letter spacing of 100 % leaves every other advance,
// kerning included, as laid out on the screen.
std::unique_ptr<QTextDocument> WithoutLigatures(const QTextDocument &doc)
{
    std::unique_ptr<QTextDocument> copy(doc.clone());
    QTextCursor all(copy.get());
    all.select(QTextCursor::Document);
    QTextCharFormat spacing;
    spacing.setFontLetterSpacingType(QFont::PercentageSpacing);
    spacing.setFontLetterSpacing(100);
    all.mergeCharFormat(spacing);
    return copy;
}

constexpr int64_t BytesPerPixel = 4;

// The largest of 1, 2, 4 and 8 by which the JPEG file at `path` can be
// scaled down and still have `needed` pixels across and down, whichever way
// its orientation stands it; 1 for anything else, which LoadCardPicture
// reads (and reports) as ever. Only the header is read, by the program's
// own parser.
int JpegScaleFor(const QString &path, QSize needed)
{
    try {
        CheckRegularFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception &) {
        return 1;
    }
    if (PictureTypeOfContents(path) != TPictureType::Jpeg)
        return 1;
    const QSize stored = DeclaredPictureSize(path, TPictureType::Jpeg);
    const int shorter = std::min(stored.width(), stored.height());
    const int longest = std::max(needed.width(), needed.height());
    int denominator = 1;
    while (denominator < 8 && stored.isValid() && shorter / (denominator * 2) >= longest)
        denominator *= 2;
    return denominator;
}

// A picture for a page: a phone's photo of thousands of pixels is decoded
// by the JPEG decoder's own scaling (in the confined reader, as every
// JPEG), eight times faster at an eighth, when the page needs no more.
QImage LoadPagePicture(const QString &path, QSize needed, int64_t maxPixels)
{
    const int denominator = JpegScaleFor(path, needed);
    if (denominator == 1)
        return LoadCardPicture(path, maxPixels);
    try {
        TReaderLimits limits = DefaultReaderLimits();
        limits.MaxPixels = std::max<int64_t>(maxPixels, 1);
        return ReadJpegPictureConfined(path, denominator, limits).convertToFormat(QImage::Format_RGB32);
    } catch (const EPictureError &error) {
        throw ECardError(QString::fromStdString(error.what()));
    }
}

} // namespace

bool LooksLikePhoto(const QImage &picture)
{
    // A drawing, however large, uses a limited palette; a photograph's noise
    // gives it thousands of colours within a few rows.
    constexpr int DrawingColours = 4096;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    colours.reserve(DrawingColours + 1);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        QRgb previous = 0;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = line[x] | 0xFF000000u;
            if (colour == previous)
                continue;  // flat areas: most of a drawing
            previous = colour;
            colours.insert(colour);
            if (colours.size() > DrawingColours)
                return true;
        }
    }
    return false;
}

TCardPictures LoadCardPictures(const CardLayout &layout, const QString &folder)
{
    return LoadCardPictures(layout, folder, TCardTarget::CardPixels);
}

TCardPictures LoadCardPictures(const CardLayout &layout, const QString &folder, TCardTarget target)
{
    // The card, its pictures and its background together stay within the
    // card's memory budget, each checked before its memory is taken: two
    // small files claiming huge pictures must not add up to gigabytes.
    int64_t left = CardMemoryBudget - int64_t(layout.Paper.CardWidth) * layout.Paper.CardHeight * BytesPerPixel;
    TCardPictures pictures;
    bool anyPicture = false;
    for (std::size_t i = 0; i < CardPictureSlots; ++i) {
        if (layout.Pictures[i].Used == 0)
            continue;
        anyPicture = true;
        const QString path = CardFilePath(folder, layout.Pictures[i].FileName.Text());
        const int64_t maxPixels = std::max<int64_t>(left / BytesPerPixel, 0);
        const SlotRect &slot = layout.Pictures[i].Rect;
        pictures.Pictures[i] =
            target == TCardTarget::Page
                ? LoadPagePicture(path,
                                  QSize(PagePixels(double(SlotWidth(slot)), PagePixelsPerInch),
                                        PagePixels(double(SlotHeight(slot)), PagePixelsPerInch)),
                                  maxPixels)
                : LoadCardPicture(path, maxPixels);
        pictures.KeepsProportions[i] = KeepsProportions(path);
        left -= int64_t(pictures.Pictures[i].width()) * pictures.Pictures[i].height() * BytesPerPixel;
    }
    // With no background named the pictures lie on the white card. Keying
    // the background for the pictures makes two more copies of it.
    const int backgroundCopies = anyPicture ? 3 : 1;
    if (HasBackground(layout))
        pictures.Background = LoadCardPicture(CardFilePath(folder, layout.BackgroundFile.Text()),
                                              std::max<int64_t>(left / (BytesPerPixel * backgroundCopies), 0));
    return pictures;
}

void PaintCardCanvas(QPainter &painter, const CardLayout &layout, const TCardPictures &pictures, TCardTarget target)
{
    CheckCardSize(layout.Paper.CardWidth, layout.Paper.CardHeight);
    // With no picture on the card the background is opaque, even where it
    // has the transparent colour.
    QImage background = pictures.Background;
    if (!background.isNull() && AnyPicture(layout, pictures))
        background = KeyedBackground(background, layout.TransparentColour);
    if (target == TCardTarget::CardPixels)
        PaintCanvasInCardPixels(painter, layout, pictures, background);
    else
        PaintCanvasOnPage(painter, layout, pictures, background);
}

void DrawCardTextBox(QPainter &painter, const TCardTextBox &box)
{
    if (box.Bounds.width() <= 0 || box.Bounds.height() <= 0)
        return;
    // The box's place in twips of the card's own 96 dpi: one card pixel is
    // 15 twips whatever the device.
    const QPaintDevice *card = &CardLayoutDevice();
    const TTwipsRect twips{PixelsToTwipsX(card, box.Bounds.left()), PixelsToTwipsY(card, box.Bounds.top()),
                           PixelsToTwipsX(card, box.Bounds.left() + box.Bounds.width()),
                           PixelsToTwipsY(card, box.Bounds.top() + box.Bounds.height())};
    // On a device of the card's own resolution the text is laid out on that
    // device itself, as it always was.
    const QPaintDevice *device = painter.device();
    const bool cardResolution = device && device->logicalDpiX() == card->logicalDpiX()
                                && device->logicalDpiY() == card->logicalDpiY();
    const bool drawn = cardResolution ? RenderRichText(box.Document, &painter, twips, device)
                                      : box.Document
                                            && RenderRichText(WithoutLigatures(*box.Document).get(), &painter, twips, card);
    if (!drawn)
        throw ECardError(QStringLiteral("A text box of the card could not be drawn."));
}

void PaintCard(QPainter &painter, const TCardScene &scene, TCardTarget target)
{
    PaintCardCanvas(painter, scene.Layout, scene.Pictures, target);
    const QPointF scale = DeviceScale(painter);
    painter.save();
    painter.setClipRect(QRectF(0, 0, scene.Layout.Paper.CardWidth * scale.x(),
                               scene.Layout.Paper.CardHeight * scale.y()),
                        Qt::IntersectClip);
    for (const TCardTextBox &box : scene.Texts)
        DrawCardTextBox(painter, box);
    painter.restore();
}
