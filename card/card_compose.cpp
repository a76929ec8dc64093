#include "card/card_compose.h"

#include "card/card_geometry.h"
#include "card/card_painter.h"
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
    CheckCardSize(layout.Paper.CardWidth, layout.Paper.CardHeight);
    // Every file is read before anything is drawn, so a missing one changes nothing.
    return ComposeCard(layout, LoadCardPictures(layout, picPath));
}

QImage ComposeCard(const CardLayout &layout, const TCardPictures &pictures)
{
    CheckCardSize(layout.Paper.CardWidth, layout.Paper.CardHeight);
    QImage card(layout.Paper.CardWidth, layout.Paper.CardHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    PaintCardCanvas(painter, layout, pictures, TCardTarget::CardPixels);
    painter.end();
    return card;
}
