#include "card/card_render.h"

#include "card/card_compose.h"
#include "card/card_file.h"
#include "card/card_geometry.h"
#include "imaging/atomicfile.h"
#include "richtext/rich_text_render.h"
#include "richtext/rtf.h"
#include "richtext/twips.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTextDocument>

namespace {

// 96 dpi in the unit QImage keeps (3779.5 rounds to 3780, which QImage reports
// back as 96 dpi); the BMP header carries the same figure.
constexpr int CardDotsPerMeter = TLength::DotsPerMeter(TLength::CardPixelsPerInch);
static_assert(CardDotsPerMeter == 3780);

QImage PaintableCopy(const QImage &canvas)
{
    QImage card = canvas.convertToFormat(QImage::Format_RGB32);
    card.detach();
    card.setDotsPerMeterX(CardDotsPerMeter);
    card.setDotsPerMeterY(CardDotsPerMeter);
    return card;
}

} // namespace

void DrawCardTextBox(QPainter &painter, const TCardTextBox &box)
{
    if (box.Bounds.width() <= 0 || box.Bounds.height() <= 0)
        return;
    const QPaintDevice *device = painter.device();
    const TTwipsRect twips{PixelsToTwipsX(device, box.Bounds.left()), PixelsToTwipsY(device, box.Bounds.top()),
                           PixelsToTwipsX(device, box.Bounds.left() + box.Bounds.width()),
                           PixelsToTwipsY(device, box.Bounds.top() + box.Bounds.height())};
    if (!RenderRichText(box.Document, &painter, twips))
        throw ECardError(QStringLiteral("A text box of the card could not be drawn."));
}

QImage RenderCardImage(const QImage &canvas, const std::vector<TCardTextBox> &boxes)
{
    if (canvas.isNull())
        throw ECardError(QStringLiteral("The card has no picture to render."));
    QImage card = PaintableCopy(canvas);
    {
        QPainter painter(&card);
        if (!painter.isActive())
            throw ECardError(QStringLiteral("The card picture cannot be drawn on."));
        for (const TCardTextBox &box : boxes)
            DrawCardTextBox(painter, box);
    }
    QImage flat = card.convertToFormat(QImage::Format_RGB888);
    flat.setDotsPerMeterX(CardDotsPerMeter);
    flat.setDotsPerMeterY(CardDotsPerMeter);
    return flat;
}

QImage RenderCardImage(const CardLayout &layout, const QString &folder, const std::vector<TCardTextBox> &boxes)
{
    return RenderCardImage(ComposeCard(layout, folder), boxes);
}

void LoadCardText(const QString &fileName, QTextDocument *doc)
{
    const auto fail = [&](const QString &why) {
        doc->clear();
        throw ECardError(QStringLiteral("Cannot read file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), why));
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    const QByteArray data = file.read(kMaxRtfBytes + 1);
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    QString why;
    if (!ReadRtfOrPlainText(data, doc, &why))
        fail(why);
    // The box shows its text from its very edge; so does the card.
    doc->setDocumentMargin(0);
}

TCardTexts::TCardTexts(const CardLayout &layout, const QString &folder)
{
    for (int n = 0; n < 5; ++n) {
        const TextSlot &slot = layout.Texts[n];
        if (slot.Used == 0)
            continue;
        auto doc = std::make_unique<QTextDocument>();
        LoadCardText(folder + QString::number(n) + QStringLiteral(".rtf"), doc.get());
        m_boxes.push_back({doc.get(), SlotToControlRect(slot.Rect, QPoint(0, 0))});
        m_documents.push_back(std::move(doc));
    }
}

TCardTexts::~TCardTexts() = default;

QImage RenderCardFolder(const QString &folder)
{
    const QString layoutFile = folder + QStringLiteral("Card.crd");
    if (!QFile::exists(layoutFile))
        throw ECardError(QStringLiteral("\"%1\" is not a card folder: it has no Card.crd.")
                             .arg(QDir::toNativeSeparators(folder)));
    const CardLayout layout = ReadCardFile(layoutFile, FreshLayout());
    if (!HasBackground(layout))
        throw ECardError(QStringLiteral("The card in \"%1\" names no background picture.")
                             .arg(QDir::toNativeSeparators(folder)));
    const TCardTexts texts(layout, folder);
    return RenderCardImage(layout, folder, texts.Boxes());
}

QByteArray CardBmpBytes(const QImage &image)
{
    // Qt writes 24 bits per pixel for any picture without a palette.
    QImage flat = image.convertToFormat(QImage::Format_RGB888);
    flat.setDotsPerMeterX(CardDotsPerMeter);
    flat.setDotsPerMeterY(CardDotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(flat))
        throw ECardError(QStringLiteral("The card picture cannot be coded as a bitmap: %1").arg(writer.errorString()));
    return bytes;
}

void WriteCardBmp(const QImage &image, const QString &fileName)
{
    const QByteArray bytes = CardBmpBytes(image);
    WriteFileAtomically(QFile::encodeName(fileName).toStdString(),
                        std::string_view(bytes.constData(), size_t(bytes.size())));
}
