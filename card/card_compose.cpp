#include "card/card_compose.h"

#include "card/card_geometry.h"
#include "card/card_painter.h"
#include "imaging/regularfile.h"
#include "pictures/picture_file.h"

#include <QFile>
#include <QPainter>

#include <cstring>

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
    // Only a regular file is read: a FIFO or device in its place would
    // block the window.
    try {
        CheckRegularFile(QFile::encodeName(path).toStdString());
    } catch (const Exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
    // A card's pictures go through the program's own readers, as the picture
    // dialog reads them: bitmaps (template.bmp, the pictures the dialog
    // writes, whatever their names end in) through its BMP decoder, JPEG
    // files through libjpeg with their Exif orientation, so that a phone's
    // photo stands upright, and icons and metafiles by their names. Each
    // gives opaque pixels, as a card picture must be. Any other picture Qt
    // can read (a PNG, say) is a plain bitmap: a 32-bit file's fourth byte
    // is not transparency, and only the transparent colour may let the
    // pictures show through.
    TPictureType type = PictureTypeOfContents(path);
    if (type == TPictureType::Unsupported)
        type = PictureTypeOf(path);
    try {
        switch (type) {
        case TPictureType::Png:
        case TPictureType::Gif:
        case TPictureType::Tiff:
        case TPictureType::WebP:
        case TPictureType::Unsupported:
            return ReadQtPicture(path, type, false).convertToFormat(QImage::Format_RGB32);
        default:
            return ReadPicture(path, type).convertToFormat(QImage::Format_RGB32);
        }
    } catch (const EPictureError &error) {
        throw ECardError(QString::fromStdString(error.what()));
    }
}

QImage ComposeCard(const CardLayout &layout, const QString &picPath)
{
    CheckCardSize(layout.Paper.CardWidth, layout.Paper.CardHeight);
    // Every file is read before anything is drawn, so a missing one changes nothing.
    const TCardPictures pictures = LoadCardPictures(layout, picPath);
    QImage card(layout.Paper.CardWidth, layout.Paper.CardHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    PaintCardCanvas(painter, layout, pictures, TCardTarget::CardPixels);
    painter.end();
    return card;
}
