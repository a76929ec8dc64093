#include "tests/support/card_fixture.h"

#include "card/card_file.h"
#include "imaging/bitmapimage.h"
#include "imaging/bmpdecoder.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <stdexcept>

namespace {

constexpr QRgb Key = 0xFFFF00FF;

QImage Background(int width, int height, const SlotRect *window)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(255 - (x * 90 / width), 230 - (y * 60 / height), 200 + ((x + 2 * y) % 37));
    }
    if (window) {
        for (int y = std::max(0, window->Top); y < std::min(height, window->Bottom); ++y)
            for (int x = std::max(0, window->Left); x < std::min(width, window->Right); ++x)
                image.setPixel(x, y, Key);
    }
    return image;
}

QImage Picture()
{
    // Red on blue, 6 x 5, no symmetry.
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(qRgb(20, 40, 200));
    image.setPixel(0, 0, qRgb(220, 10, 10));
    image.setPixel(5, 1, qRgb(230, 200, 10));
    image.setPixel(2, 4, qRgb(10, 180, 40));
    return image;
}

void Save(const QImage &image, const QString &path)
{
    if (!image.save(path, "BMP"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace

QByteArray FixtureRtf(const QStringList &paragraphs, int pointSize)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss DejaVu Sans;}}\\f0\\fs"
                     + QByteArray::number(pointSize * 2) + " ";
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            rtf += "\\par ";
        rtf += paragraphs[i].toLatin1();
    }
    return rtf + "}";
}

std::vector<TFixtureText> FiveFixtureTexts(int width, int height)
{
    std::vector<TFixtureText> texts;
    const int boxWidth = width * 2 / 5;
    const int boxHeight = height / 6;
    for (int n = 0; n < 5; ++n) {
        const int left = width / 2 + (n % 2) * width / 20;
        const int top = height / 20 + n * (height / 5);
        texts.push_back({n, {left, top, left + boxWidth, top + boxHeight},
                         FixtureRtf({QStringLiteral("Box %1: Happy birthday").arg(n),
                                     QStringLiteral("with love from all of us"), QStringLiteral("see you soon")},
                                    12)});
    }
    return texts;
}

CardLayout WriteFixtureCard(const QString &folder, const TFixtureCard &card)
{
    QDir().mkpath(folder);
    CardLayout layout = FreshLayout();
    layout.Paper.CardWidth = card.Width;
    layout.Paper.CardHeight = card.Height;
    layout.BackgroundFile.SetText(QStringLiteral("template.bmp"));
    layout.TransparentColour = 0x00FF00FF;
    if (card.WithPicture) {
        layout.Pictures[0].Used = 1;
        layout.Pictures[0].Rect = card.PictureRect;
        layout.Pictures[0].FileName.SetText(QStringLiteral("picture.bmp"));
        Save(Picture(), folder + "picture.bmp");
    }
    Save(Background(card.Width, card.Height, card.WithPicture ? &card.PictureRect : nullptr),
         folder + "template.bmp");
    for (const TFixtureText &text : card.Texts) {
        layout.Texts[text.Slot].Used = 1;
        layout.Texts[text.Slot].Rect = text.Rect;
        QFile file(folder + QString::number(text.Slot) + ".rtf");
        if (!file.open(QIODevice::WriteOnly) || file.write(text.Rtf) != text.Rtf.size())
            throw std::runtime_error("cannot write " + file.fileName().toStdString());
    }
    WriteCardFile(folder + "Card.crd", layout);
    return layout;
}

QImage ReadBmpWithOwnDecoder(const QString &path)
{
    TBitmapImage bitmap;
    try {
        TBmpDecoder decoder;
        decoder.ReadImageFile(QFile::encodeName(path).toStdString(), bitmap);
    } catch (const std::exception &) {
        return {};
    }
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.Height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width; ++x) {
            const TPixel &p = bitmap.At(x, y);
            line[x] = qRgb(p.Red, p.Green, p.Blue);
        }
    }
    return image;
}
