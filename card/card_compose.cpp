#include "card/card_compose.h"

#include "card/card_geometry.h"
#include "card/card_paths.h"
#include "card/picture_fit.h"
#include "imaging/regularfile.h"
#include "pictures/picture_file.h"
#include "pictures/picture_sandbox.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <std::size_t Size>
bool SameShortString(const ShortString<Size> &a, const ShortString<Size> &b)
{
    return a.Bytes[0] == b.Bytes[0] && std::memcmp(a.Bytes + 1, b.Bytes + 1, std::size_t(a.Length())) == 0;
}

bool SamePictureSlot(const PictureSlot &a, const PictureSlot &b)
{
    return a.Used == b.Used && RectsEqual(a.Rect, b.Rect) && SameShortString(a.FileName, b.FileName);
}

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

constexpr int64_t BytesPerPixel = 4;

// The pixels a BMP file's header claims (its width times its height), or 0
// when the header cannot be read; the decoder then says what is wrong.
int64_t BmpPixelCount(const QString &path)
{
    std::string header;
    try {
        header = ReadRegularFile(QFile::encodeName(path).toStdString(), 26);
    } catch (const Exception &) {
        return 0;
    }
    if (header.size() < 26 || header[0] != 'B' || header[1] != 'M')
        return 0;
    const auto byte = [&header](size_t at) { return int64_t(uint8_t(header[at])); };
    const auto u16 = [&byte](size_t at) { return byte(at) | byte(at + 1) << 8; };
    const auto s32 = [&u16](size_t at) { return int64_t(int32_t(uint32_t(u16(at) | u16(at + 2) << 16))); };
    if (u16(14) == 12) // OS/2 header: 16-bit sides
        return u16(18) * u16(20);
    return std::abs(s32(18)) * std::abs(s32(22));
}

[[noreturn]] void RefuseForBudget(const QString &path, int64_t pixels)
{
    FailToLoadPicture(path, QStringLiteral("It has %1 million pixels, and with the card and its other pictures that "
                                           "is more than the %2 MB a card may use.")
                                .arg(double(pixels) / 1e6, 0, 'f', 1)
                                .arg(CardMemoryBudget >> 20));
}

} // namespace

bool RectsEqual(const SlotRect &a, const SlotRect &b)
{
    return a.Left == b.Left && a.Right == b.Right && a.Top == b.Top && a.Bottom == b.Bottom;
}

bool LayoutsEqual(const CardLayout &a, const CardLayout &b)
{
    return a.Paper.CardWidth == b.Paper.CardWidth && a.Paper.CardHeight == b.Paper.CardHeight
           && std::memcmp(a.Paper.Reserved, b.Paper.Reserved, sizeof a.Paper.Reserved) == 0
           && a.TransparentColour == b.TransparentColour
           && SameShortString(a.BackgroundFile, b.BackgroundFile)
           && SamePictureSlot(a.Pictures[0], b.Pictures[0])
           && SamePictureSlot(a.Pictures[1], b.Pictures[1]);
}

bool HasBackground(const CardLayout &layout)
{
    const QString name = layout.BackgroundFile.Text();
    for (QChar c : name) {
        if (c.unicode() > 32)
            return true;
    }
    return false;
}

QImage LoadCardPicture(const QString &path)
{
    return LoadCardPicture(path, DefaultReaderLimits().MaxPixels);
}

QImage LoadCardPicture(const QString &path, int64_t maxPixels)
{
    // Only a regular file is read: a FIFO or device in its place would
    // block the window.
    try {
        CheckRegularFile(QFile::encodeName(path).toStdString());
    } catch (const Exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
    // A card's pictures go through the program's readers, as the picture
    // dialog reads them: bitmaps (template.bmp, the pictures the dialog
    // writes, whatever their names end in) through its own BMP decoder here,
    // every other format through the confined helper (JPEG with its Exif
    // orientation, so that a phone's photo stands upright). Each gives
    // opaque pixels, as a card picture must be. A picture Qt reads (a PNG,
    // say) is a plain bitmap: a 32-bit file's fourth byte is not
    // transparency, and only the transparent colour may let the pictures
    // show through.
    TPictureType type = PictureTypeOfContents(path);
    if (type == TPictureType::Unsupported)
        type = PictureTypeOf(path);
    try {
        TReaderLimits limits = DefaultReaderLimits();
        limits.MaxPixels = std::max<int64_t>(maxPixels, 1);
        QImage picture;
        if (type == TPictureType::Bmp) {
            // Refused by its header before the decoder takes the memory.
            const int64_t pixels = BmpPixelCount(path);
            if (pixels > maxPixels)
                RefuseForBudget(path, pixels);
            picture = ReadBmpPicture(path);
        } else {
            // Unsupported lets Qt's readers tell the format from the contents.
            picture = ReadPictureConfined(path, type, limits, TAlpha::Ignored);
        }
        return picture.convertToFormat(QImage::Format_RGB32);
    } catch (const EPictureError &error) {
        throw ECardError(QString::fromStdString(error.what()));
    }
}

QImage ComposeCard(const CardLayout &layout, const QString &picPath)
{
    const int32_t width = layout.Paper.CardWidth;
    const int32_t height = layout.Paper.CardHeight;
    CheckCardSize(width, height);

    // The card, its pictures and its background together stay within the
    // card's memory budget, each checked before its memory is taken: two
    // small files claiming huge pictures must not add up to gigabytes.
    int64_t left = CardMemoryBudget - int64_t(width) * height * BytesPerPixel;
    const auto take = [&left](const QImage &picture, int copies) {
        left -= int64_t(picture.width()) * picture.height() * BytesPerPixel * copies;
    };
    bool anyPicture = false;
    for (int i = 0; i < 2; ++i)
        anyPicture = anyPicture || layout.Pictures[i].Used != 0;
    // Every file is read before anything is drawn, so a missing one changes nothing.
    QImage pictures[2];
    bool keepsProportions[2] = {false, false};
    for (int i = 0; i < 2; ++i) {
        if (layout.Pictures[i].Used != 0) {
            const QString file = CardFilePath(picPath, layout.Pictures[i].FileName.Text());
            pictures[i] = LoadCardPicture(file, left / BytesPerPixel);
            keepsProportions[i] = KeepsProportions(file);
            take(pictures[i], 1);
        }
    }
    // With no background named the pictures lie on the white card. Keying
    // the background for the pictures makes two more copies of it.
    QImage background;
    const int backgroundCopies = anyPicture ? 3 : 1;
    if (HasBackground(layout))
        background = LoadCardPicture(CardFilePath(picPath, layout.BackgroundFile.Text()),
                                     left / (BytesPerPixel * backgroundCopies));
    if (anyPicture && !background.isNull())
        background = KeyedBackground(background, layout.TransparentColour);

    QImage card(width, height, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < 2; ++i) {
        if (pictures[i].isNull())
            continue;
        // A picture chosen to keep its proportions fills a frame resized
        // since; any other is stretched over it, as cards always were.
        const SlotRect &slot = layout.Pictures[i].Rect;
        const VisibleSlot part
            = VisiblePartOfSlot(slot, card.size(), PicturePartForSlot(pictures[i].size(), slot, keepsProportions[i]));
        if (!part.IsEmpty())
            painter.drawImage(part.Target, pictures[i], part.Source);
    }
    if (!background.isNull())
        painter.drawImage(QRectF(0, 0, width, height), background);
    painter.end();
    return card;
}
