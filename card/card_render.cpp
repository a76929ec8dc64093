#include "card/card_render.h"

#include "card/card_compose.h"
#include "card/card_open.h"
#include "card/card_geometry.h"
#include "richtext/rich_text_render.h"
#include "richtext/rtf.h"
#include "richtext/twips.h"

#include <QDir>
#include <QFileInfo>
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

namespace {

// A text box's document as the box reads its file: RTF (or plain text),
// shown from the box's very edge, without a document margin.
void ReadCardTextInto(const QString &folder, int slot, QTextDocument *doc)
{
    QString why;
    if (!ReadRtfOrPlainText(ReadCardText(folder, slot), doc, &why))
        throw ECardError(QStringLiteral("Cannot read file \"%1%2.rtf\". %3").arg(folder).arg(slot).arg(why));
    doc->setDocumentMargin(0);
}

} // namespace

TCardTexts::TCardTexts(const CardLayout &layout, const QString &folder)
{
    for (int n = 0; n < 5; ++n) {
        const TextSlot &slot = layout.Texts[n];
        if (slot.Used == 0)
            continue;
        auto doc = std::make_unique<QTextDocument>();
        ReadCardTextInto(folder, n, doc.get());
        m_boxes.push_back({doc.get(), SlotToControlRect(slot.Rect, QPoint(0, 0))});
        m_documents.push_back(std::move(doc));
    }
}

TCardTexts::~TCardTexts() = default;

TCardScene ReadCardScene(const CardLayout &layout, const QString &folder, const TCardTexts &texts)
{
    return {layout, LoadCardPictures(layout, folder, TCardTarget::Page), texts.Boxes()};
}

CardLayout ReadCardFolderLayout(const QString &folder)
{
    // Read only: unlike opening a card in the window, rendering never
    // writes a default Card.crd into a folder that has none.
    if (!QFileInfo::exists(folder + QStringLiteral("Card.crd")))
        throw ECardError(QStringLiteral("\"%1\" is not a card folder: it has no Card.crd.")
                             .arg(QDir::toNativeSeparators(folder)));
    return ReadCardLayout(folder + QStringLiteral("template.bmp"));
}

QImage RenderCardFolder(const QString &folder, const CardLayout &layout)
{
    const TCardTexts texts(layout, folder);
    return RenderCardImage(layout, folder, texts.Boxes());
}

QImage RenderCardFolder(const QString &folder)
{
    return RenderCardFolder(folder, ReadCardFolderLayout(folder));
}
